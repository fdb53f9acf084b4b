#include "pagewindows.h"

#include "informationwindow.h"
#include "taboutform.h"
#include "tfm_devinfo.h"
#include "tfm_sytem.h"
#include "tmainform.h"

void connectPageWindows(TMainForm &main)
{
    // One line per window, in menu order; a window's work adds its line (and its header):
    //     main.connectWindow(main.Wireless1, FM_Wirless);
    // The form of connectWindow with a create function serves windows built by a function.
    main.connectModal(main.Information1, [&main] { return InformationWindow::Create(&main); });

    main.connectWindow(main.System1, FM_Sytem);

    main.connectWindow(main.DeviceInfo1, FM_DevInfo);

    main.connectWindow(main.About1, AboutForm);
}
