// The main window: toolbar, right-click menu, status bar with the clock. It
// owns one page of each kind, creates each on first use, refuses the pages
// that need the DTU while no port is open, and its 100 ms timer completes
// received frames and hands them to the pages on screen.
#pragma once

#include "core/serial/ReceiveBuffer.h"
#include "ui/serial/SerialSettingsPage.h"

#include <QDialog>

#include <cstdint>

class AboutDialog;
class BenchPage;
class UpgradePage;
class DtuPage;
class MonitorWindow;
class RecordsPage;
class SmsHexPage;
class SmsTextPage;
class TestServerPage;
class TcpPage;
class TerminalWindow;
class QLabel;
class QMenu;

class MainWindow : public QDialog {
    Q_OBJECT
public:
    // `roots`: where the settings page looks for ports and their names;
    // `names`: what the application calls some of them.
    explicit MainWindow(SerialSettingsPage::PortSource ports, QWidget* parent = nullptr, serial::Roots roots = {},
                        SerialSettingsPage::PortNames names = {});
    ~MainWindow() override;

    // The pages, or nullptr before their first use.
    SerialSettingsPage* settingsPage() const { return settingsPage_; }
    DtuPage* dtuPage() const { return dtu_; }
    SmsTextPage* smsTextPage() const { return smsTextPage_; }
    SmsHexPage* smsHexPage() const { return smsHexPage_; }
    TcpPage* tcpPage() const { return tcp_; }
    UpgradePage* upgradePage() const { return upgradePage_; }
    TerminalWindow* terminalPage() const { return terminal_; }
    // The line monitor: made at start-up, hidden, and recording from then.
    MonitorWindow* monitor() const { return monitor_; }
    TestServerPage* serverPage() const { return server_; }
    BenchPage* benchPage() const { return bench_; }
    RecordsPage* recordsPage() const { return records_; }

    // The ports named on the command line or simulated: the bench lists
    // them first, checked.
    void SetNamedPorts(const QStringList& ports) { namedPorts_ = ports; }

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
    void OnBench();
    void OnRecords();

private:
    // The settings page, made on first use where it was left last time.
    SerialSettingsPage* MadeSettingsPage();
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

    SerialSettingsPage::PortSource ports_;
    serial::Roots roots_;
    SerialSettingsPage::PortNames names_;
    QLabel* panes_[3] = {};
    QLabel* hint_ = nullptr;
    bool hintSaysOpen_ = false;
    QMenu* menu_ = nullptr;
    SerialSettingsPage* settingsPage_ = nullptr;
    DtuPage* dtu_ = nullptr;
    SmsTextPage* smsTextPage_ = nullptr;
    SmsHexPage* smsHexPage_ = nullptr;
    TcpPage* tcp_ = nullptr;
    UpgradePage* upgradePage_ = nullptr;
    TerminalWindow* terminal_ = nullptr;
    AboutDialog* about_ = nullptr;
    MonitorWindow* monitor_ = nullptr;
    TestServerPage* server_ = nullptr;
    BenchPage* bench_ = nullptr;
    RecordsPage* records_ = nullptr;
    QStringList namedPorts_;
    int timerId_ = 0;
    std::uint8_t clockTicks_ = 0;
};
