// The SMS text, SMS hex and TCP pages as a user opens them: from the main
// window's menu, all three on screen at once.
#pragma once

#include "ui/app/MainWindow.h"
#include "ui/pages/SmsHexPage.h"
#include "ui/pages/SmsTextPage.h"
#include "ui/pages/TcpPage.h"

#include <QAction>

struct OpenPages {
    explicit OpenPages(MainWindow& window)
    {
        window.show();
        for (const char* action : {"smsTextToolbarAction", "smsHexToolbarAction", "tcpToolbarAction"})
            window.findChild<QAction*>(QLatin1String(action))->trigger();
        text = window.smsTextPage();
        hex = window.smsHexPage();
        tcp = window.tcpPage();
    }

    SmsTextPage* text;
    SmsHexPage* hex;
    TcpPage* tcp;
};
