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
    // $XDG_RUNTIME_DIR/qrn7300xb, else /tmp/qrn7300xb-<user id>. Created when missing.
    static QString runtimeFolder();
};
