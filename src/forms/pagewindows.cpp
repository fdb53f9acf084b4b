#include "pagewindows.h"

#include "informationwindow.h"
#include "taboutform.h"
#include "tclientinformation.h"
#include "tfm_admin.h"
#include "tfm_cfgfile.h"
#include "tfm_devinfo.h"
#include "tfm_dhcp.h"
#include "tfm_filter.h"
#include "tfm_firmware.h"
#include "tfm_group.h"
#include "tfm_lancfg.h"
#include "tfm_misc.h"
#include "tfm_multissidnewform.h"
#include "tfm_performace.h"
#include "tfm_rogueform.h"
#include "tfm_static.h"
#include "tfm_sytem.h"
#include "tfm_wirless.h"
#include "tlogform.h"
#include "tmainform.h"
#include "tsntpform.h"

void connectPageWindows(TMainForm &main)
{
    // One line per window, in menu order; a window's work adds its line (and its header):
    //     main.connectWindow(main.Wireless1, FM_Wirless);
    // The form of connectWindow with a create function serves windows built by a function.
    main.connectModal(main.Information1, [&main] { return InformationWindow::Create(&main); });
    main.connectWindow(main.Wireless1, FM_Wirless);
    main.connectWindow(main.LAN1, FM_LanCfg);

    main.connectWindow(main.Performance1, FM_Performace);
    main.connectWindow(main.Filters1, FM_Filter);
    main.connectWindow(main.Grouping1, FM_Group);
    main.connectWindow(main.DHCPServer1, FM_DHCP);
    main.connectWindow(main.MultiSSID1, FM_MultiSSIDNewForm);
    main.connectWindow(main.RogueAP1, FM_RogueForm);

    main.connectWindow(main.Admin1, FM_Admin);
    main.connectWindow(main.System1, FM_Sytem);
    main.connectWindow(main.Miscellaneous1, FM_Misc);
    main.connectWindow(main.Firmware1, FM_Firmware);
    main.connectWindow(main.ConfigurationFile1, FM_CfgFile);
    main.connectWindow(main.SNTP1, SNTPForm);

    main.connectWindow(main.DeviceInfo1, FM_DevInfo);
    main.connectWindow(main.Stats1, FM_Static);
    main.connectWindow(main.ClientInfo1, ClientInformation);
    main.connectWindow(main.Log1, LogForm);

    main.connectWindow(main.About1, AboutForm);
}
