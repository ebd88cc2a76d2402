// The SMS text, SMS hex and TCP pages as a user opens them: from the main
// window's menu, all three on screen at once.
#pragma once

#include "app/TavrinDlg.h"
#include "pages/P2pDlg.h"
#include "pages/Phone.h"
#include "pages/TcpDlg.h"

#include <QAction>

struct OpenPages {
    explicit OpenPages(CTavrinDlg& window)
    {
        window.show();
        for (int id : {1006, 1007, 1008})
            window.findChild<QAction*>(QStringLiteral("action%1").arg(id))->trigger();
        text = window.smsTextPage();
        hex = window.smsHexPage();
        tcp = window.tcpPage();
    }

    CPhone* text;
    CP2pDlg* hex;
    CTcpDlg* tcp;
};
