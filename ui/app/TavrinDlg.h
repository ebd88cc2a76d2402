// The main window: toolbar, right-click menu, status bar with the clock. It
// owns one page of each kind, creates each on first use, refuses the pages
// that need the DTU while no port is open, and its 100 ms timer completes
// received frames and hands them to the pages on screen.
#pragma once

#include "serial/ReceiveBuffer.h"
#include "serial/UartParamDlg.h"

#include <QDialog>

#include <cstdint>

class CAboutDlg;
class CDialog_OTG;
class CDtuDlg;
class CMonitorDlg;
class CP2pDlg;
class CPhone;
class CServerDlg;
class CTcpDlg;
class CTerminalDlg;
class QLabel;
class QMenu;

class CTavrinDlg : public QDialog {
    Q_OBJECT
public:
    // `roots`: where the settings page looks for ports and their names;
    // `names`: what the application calls some of them.
    explicit CTavrinDlg(CUartParamDlg::PortSource ports, QWidget* parent = nullptr, serial::Roots roots = {},
                        CUartParamDlg::PortNames names = {});
    ~CTavrinDlg() override;

    // The pages, or nullptr before their first use.
    CUartParamDlg* uartPage() const { return uart_; }
    CDtuDlg* dtuPage() const { return dtu_; }
    CPhone* smsTextPage() const { return phone_; }
    CP2pDlg* smsHexPage() const { return p2p_; }
    CTcpDlg* tcpPage() const { return tcp_; }
    CDialog_OTG* upgradePage() const { return otg_; }
    CTerminalDlg* terminalPage() const { return terminal_; }
    // The line monitor: made at start-up, hidden, and recording from then.
    CMonitorDlg* monitor() const { return monitor_; }
    CServerDlg* serverPage() const { return server_; }

    // Opens the port remembered from the last run, if it still exists.
    bool OpenRememberedPort();

signals:
    // The user closed the main window: the application ends.
    void closed();

protected:
    void timerEvent(QTimerEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private slots:
    void OnSettings();
    void OnDtu();
    void OnSmsText();
    void OnSmsHex();
    void OnTcp();
    void OnUpgrade();
    void OnDebugTool();
    void OnHomePage();
    void OnHelp();
    void OnAboutBox();
    void OnMonitor();
    void OnServer();

private:
    // The settings page, made on first use where it was left last time.
    CUartParamDlg* SettingsPage();
    // The hint under the toolbar, as the port is.
    void UpdateHint();
    void BuildCommands();
    void BuildStatusBar();
    void UpdateClock();
    void Tick();
    // Whole frames waiting under fast replies, delivered without a tick.
    void DeliverWhole();
    void NotifyPages(const ReceiveBuffer::Frame& frame);
    void CheckPortLost();
    bool PortOpenOrSay(const char* message);
    template <class Page>
    void ShowPage(Page*& page);
    void Present(QWidget* page);
    // Each window where the user left it last time; saved when the tool closes.
    void RestoreGeometry(QWidget* window) const;
    void SaveGeometries() const;

    CUartParamDlg::PortSource ports_;
    serial::Roots roots_;
    CUartParamDlg::PortNames names_;
    QLabel* panes_[3] = {};
    QLabel* hint_ = nullptr;
    bool hintSaysOpen_ = false;
    QMenu* menu_ = nullptr;
    CUartParamDlg* uart_ = nullptr;
    CDtuDlg* dtu_ = nullptr;
    CPhone* phone_ = nullptr;
    CP2pDlg* p2p_ = nullptr;
    CTcpDlg* tcp_ = nullptr;
    CDialog_OTG* otg_ = nullptr;
    CTerminalDlg* terminal_ = nullptr;
    CAboutDlg* about_ = nullptr;
    CMonitorDlg* monitor_ = nullptr;
    CServerDlg* server_ = nullptr;
    int timerId_ = 0;
    std::uint8_t clockTicks_ = 0;
};
