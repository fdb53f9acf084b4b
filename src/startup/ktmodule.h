// Where the module's own files live on this machine. Each place can be moved by an environment
// variable (the test suite gives every test its own).
#pragma once

#include <QString>

class KtModule
{
public:
    // The model name: the application title and the main window's first caption.
    static QString modelName();

    // The folder of the executable, ending in "/". The catalogues lie in its errmsg/ folder.
    static QString programFolder();

    // The settings file standing in for the machine-wide registry: QRN_SETTINGS, else
    // /etc/qrn7300xb/registry.ini.
    static QString settingsFile();

    // The module's writable data folder (SNMP engine boot counter, files the device sends):
    // QRN_DATA_DIR, else $XDG_DATA_HOME/qrn7300xb (~/.local/share/qrn7300xb). Created when
    // missing; the path is returned even when that fails.
    static QString dataFolder();

    // The folder of the single-instance lock files: QRN_RUNTIME_DIR, else
    // $XDG_RUNTIME_DIR/qrn7300xb, else privateRuntimeFolder(). Created when missing; empty when
    // there is no folder the lock files may safely go to.
    static QString runtimeFolder();

    // The runtime folder this user's module processes share when the session names none
    // (XDG_RUNTIME_DIR unset, as for root under sudo): $TMPDIR/qrn7300xb-<user id> (TMPDIR
    // defaults to /tmp) when it is a private folder of this user, else <data folder>/run; empty
    // when neither is. Another user's folder, or one open to others, is never used: its owner
    // could hold our locks or plant links there.
    static QString privateRuntimeFolder();
    // $TMPDIR/qrn7300xb-<user id>, the first choice of privateRuntimeFolder().
    static QString sharedRuntimeFolder();

    // Whether path is a folder only this user can use: a directory (not a link to one) owned
    // by this user with mode 0700. A missing folder is created so; anything else is left alone.
    static bool privateFolder(const QString &path);

    // Program entry, before the application object exists: gives the process a runtime folder
    // of its own when the session names none, so that the toolkit neither warns about it nor
    // picks a shared one.
    static void provideRuntimeFolder();
};
