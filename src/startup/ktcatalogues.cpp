#include "ktcatalogues.h"

#include "ktmessages.h"

using KtMessages::Table;

namespace {

void load(const QString &prefix, std::initializer_list<Table> order)
{
    for (Table table : order)
        KtMessages::LoadCatalogue(table, prefix + KtMessages::fileName(table));
}

} // namespace

void KtCatalogues::LoadFromProgramFolder(const QString &programFolder)
{
    load(programFolder + QStringLiteral("errmsg/"),
         {Table::SnmpClass, Table::Snmp, Table::SnmpMsg, Table::KtSnmp, Table::SnmpV3,
          Table::SnmpUsm, Table::Common});
}

void KtCatalogues::LoadFromHostFolder(const QString &catalogueFolder)
{
    load(catalogueFolder + QStringLiteral("errmsg/"),
         {Table::Common, Table::Snmp, Table::SnmpV3, Table::SnmpUsm, Table::SnmpClass,
          Table::KtSnmp, Table::SnmpMsg});
}
