// Loading the seven message catalogues at start-up: first those shipped beside the executable,
// then those of the host installation, each successful load replacing the one before.
#pragma once

#include <QString>

class KtCatalogues
{
public:
    // folder + "errmsg/" + each catalogue's file name. folder ends in "/" (KtModule's
    // programFolder does).
    static void LoadFromProgramFolder(const QString &programFolder);

    // catalogueFolder + "errmsg/" + each file name, joined as they are: the host installation's
    // folder comes from the help-path value, which ends in "/" once its file name is removed;
    // an empty folder looks in the current folder.
    static void LoadFromHostFolder(const QString &catalogueFolder);
};
