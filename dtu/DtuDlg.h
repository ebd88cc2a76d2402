// The DTU parameter page: every setting of the DTU written, read back and
// shown. The page reads its controls, has the core build each request,
// writes it with "...." in its status pane, and turns the answers that the
// main window hands it into its controls.
//
// Answers that end in a message box (the clock, the packets, the wireless
// dialog's) are shown after the notification has returned, one box at a
// time, so that frames arriving while a box is open complete and arrive as
// frames of their own.
//
// A request left unanswered for kReplyTimeoutMs shows "No reply"; a later
// answer still replaces it.
//
// "全部读取" and "全部写入" run a whole-DTU sequence of requests (see
// profile/Sequence.h), one request when the last was answered or given up;
// profiles are saved and loaded in dtuctl's schema (DtuProfile.cpp).
#pragma once

#include "common/FramePage.h"
#include "dtu/Frame.h"
#include "dtu/Requests.h"
#include "dtu/Responses.h"
#include "dtu/Rf.h"

#include <QBasicTimer>
#include <QCheckBox>
#include <QLineEdit>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CDialog_Rf_Setup;
class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace ui {
class IpAddressEdit;
}
namespace profile {
struct DeviceSettings;
struct PlannedWrite;
struct Profile;
class Sequence;
}

class CDtuDlg : public ui::FramePage {
    Q_OBJECT
public:
    static constexpr int kReplyTimeoutMs = 3000;
    static constexpr const char* kNoReply = "No reply";

    explicit CDtuDlg(QWidget* parent);
    ~CDtuDlg() override;

    // The wireless dialog, or nullptr before it was first needed.
    CDialog_Rf_Setup* rfDialog() const { return rf_; }
    QString paneText(int pane) const;
    // A whole-DTU read or write is under way.
    bool running() const { return run_ != nullptr; }
    // The profile text "保存配置…" writes: the settings the model's
    // "全部读取" reads, as the page shows them; or the refusal.
    std::string ProfileText(std::string* refusal) const;
    // Fills the controls from a profile's keys; sends nothing.
    void ApplyProfile(const profile::Profile& p);
    // The remote port as typed, and the packets as "写入" would send them
    // now (the whole request frame).
    QString remotePortText() const { return port_->text(); }
    dtu::Bytes packetsRequest() const
    {
        return dtu::BuildWritePackets(heartbeatEdit_->text().toStdString(), registrationEdit_->text().toStdString(),
                                      customPackets_->isChecked(), hex_->isChecked());
    }

protected:
    void OnFrame(const ui::FrameEvent& frame) override;
    void timerEvent(QTimerEvent* e) override;
    // A hidden page hears no answers: a whole-DTU run ends with it.
    void hideEvent(QHideEvent* e) override;

private slots:
    // Models.
    void OnModel330M();
    void OnModel330N();
    void OnModel331();
    // Phone list.
    void OnAddPhone();
    void OnWritePhones();
    void OnReadPhones();
    void OnDeletePhone();
    void OnClearPhones();
    // Communication IDs.
    void OnAddIdOrSetOwnId();
    void OnReadOwnId();
    void OnWriteIds();
    void OnReadIds();
    void OnDeleteId();
    void OnClearIds();
    // Server, mode and the other settings.
    void OnSetAddress();
    void OnSetPort();
    void OnProtocolTransfer();
    void OnTransparentTransfer();
    void OnSetMode();
    void OnDefaultMode();
    void OnReadNetParams();
    void OnWriteUart();
    void OnReadUart();
    void OnSetApn();
    void OnReadVersion();
    void OnReadSignal();
    void OnRestart();
    void OnSetClock();
    void OnReadClock();
    void OnWireless();
    // Packets.
    void OnWritePackets();
    void OnReadPackets();
    void OnHex();
    // Profiles.
    void OnReadAll();
    void OnWriteAll();
    void OnSaveProfile();
    void OnLoadProfile();

private:
    enum class Model { M330M, M330N, M331 };

    // The dialog data: what the exchanged controls hold.
    struct Data {
        QString phone;
        QString id;
        int transferKind = 0;
        int subMode = 0;
        int addressKind = 0;
        QString domain;
        QString port;
    };

    void BuildForm();
    QGroupBox* BuildModelFrame();
    QGroupBox* BuildPhoneFrame();
    QGroupBox* BuildIdFrame();
    QGroupBox* BuildServerFrame();
    QGroupBox* BuildModeFrame();
    QGroupBox* BuildModeButtonsFrame();
    QGroupBox* BuildVersionFrame();
    QGroupBox* BuildApnFrame();
    QGroupBox* BuildPacketFrame();
    QGroupBox* BuildClockFrame();
    QGroupBox* BuildUartFrame();
    QGroupBox* BuildResetFrame();
    void BuildStatusBar(QLayout* layout);
    QGroupBox* BuildProfileFrame();
    void Connect();

    void SaveData();
    void LoadData();
    void ApplyModel(Model model);
    void SetTransferControls(bool optionsEnabled);

    void Send(const dtu::Bytes& frame);
    void SendQuery(std::uint8_t code);
    // The frame, or the message that refused the input.
    void SendBuilt(const dtu::Built& built);
    void SetStatus(const char* text);
    void Say(const char* text);
    void Say(const std::string& text) { Say(text.c_str()); }
    // A message box after the current notification, in turn with the others.
    void ShowLater(const QString& text, std::function<void()> then = {});
    void ShowPending();

    void AddRow(QTreeWidget* list, std::uint8_t& count, const QString& value);
    void DeleteSelected(QTreeWidget* list, std::uint8_t& count);
    void ClearList(QTreeWidget* list, std::uint8_t& count, std::uint8_t clearCode);
    std::vector<std::string> ListValues(const QTreeWidget* list) const;
    void FillList(QTreeWidget* list, std::uint8_t& count, const std::vector<std::string>& values);

    Model CurrentModel() const;
    dtu::RfSettings RfShown() const;
    // The read requests of the model's groups.
    static unsigned ModelQueries(Model model);
    // The page's controls as the settings of `queries`, or the refusal.
    std::optional<profile::DeviceSettings> PageSettings(unsigned queries, std::string* refusal) const;
    enum class Run { Read, Write };
    void StartRun(Run kind, std::unique_ptr<profile::Sequence> run);
    void SendStep();
    void StepAnswered();
    void FinishRun();
    void StopRun(const QString& why);
    void ShowWriteReport();

    void ShowNetParams(const dtu::Response& r);
    void ShowPackets();
    CDialog_Rf_Setup* Rf();

    Data data_;
    std::uint8_t phoneCount_ = 0;
    std::uint8_t idCount_ = 0;
    dtu::Bytes heartbeat_;     // the packets of the last read answer
    dtu::Bytes registration_;
    CDialog_Rf_Setup* rf_ = nullptr;
    QBasicTimer replyTimer_;
    QBasicTimer stepTimer_;
    std::unique_ptr<profile::Sequence> run_;
    Run runKind_ = Run::Read;
    std::unique_ptr<profile::Profile> runProfile_;  // what a write sends, for its report
    std::vector<profile::PlannedWrite> runWrites_;
    struct Box {
        QString text;
        std::function<void()> then;
    };
    std::deque<Box> boxes_;
    bool showingBoxes_ = false;

    QLabel* panes_[3] = {};
    QRadioButton* model330M_ = nullptr;
    QRadioButton* model330N_ = nullptr;
    QRadioButton* model331_ = nullptr;

    QLineEdit* phoneEdit_ = nullptr;
    QPushButton* addPhone_ = nullptr;
    QPushButton* phoneReadUnused_ = nullptr;
    QTreeWidget* phoneList_ = nullptr;
    QPushButton* writePhones_ = nullptr;
    QPushButton* readPhones_ = nullptr;
    QPushButton* deletePhone_ = nullptr;
    QPushButton* clearPhones_ = nullptr;

    QLineEdit* idEdit_ = nullptr;
    QCheckBox* customId_ = nullptr;
    QPushButton* addId_ = nullptr;
    QPushButton* readOwnId_ = nullptr;
    QTreeWidget* idList_ = nullptr;
    QPushButton* writeIds_ = nullptr;
    QPushButton* readIds_ = nullptr;
    QPushButton* deleteId_ = nullptr;
    QPushButton* clearIds_ = nullptr;

    ui::IpAddressEdit* ip_ = nullptr;
    QLineEdit* domain_ = nullptr;
    QButtonGroup* addressKind_ = nullptr;
    QRadioButton* ipRadio_ = nullptr;
    QRadioButton* domainRadio_ = nullptr;
    QPushButton* setAddress_ = nullptr;
    QLineEdit* port_ = nullptr;
    QPushButton* setPort_ = nullptr;

    QButtonGroup* transferKind_ = nullptr;
    QRadioButton* protocol_ = nullptr;
    QRadioButton* transparent_ = nullptr;
    QCheckBox* smsOption_ = nullptr;
    QCheckBox* smsHexOption_ = nullptr;
    QCheckBox* tcpOption_ = nullptr;
    QButtonGroup* subMode_ = nullptr;
    QRadioButton* smsMode_ = nullptr;
    QRadioButton* smsHexMode_ = nullptr;
    QRadioButton* tcpMode_ = nullptr;
    QPushButton* setMode_ = nullptr;
    QPushButton* defaultMode_ = nullptr;
    QPushButton* readNet_ = nullptr;

    QLineEdit* versionText_ = nullptr;
    QPushButton* readVersion_ = nullptr;
    QPushButton* readSignal_ = nullptr;

    QLineEdit* apn_ = nullptr;
    QLineEdit* apnUser_ = nullptr;
    QLineEdit* apnPassword_ = nullptr;
    QPushButton* setApn_ = nullptr;

    QLineEdit* heartbeatEdit_ = nullptr;
    QLineEdit* registrationEdit_ = nullptr;
    QCheckBox* hex_ = nullptr;
    QCheckBox* customPackets_ = nullptr;
    QPushButton* writePackets_ = nullptr;
    QPushButton* readPackets_ = nullptr;

    QPushButton* setClock_ = nullptr;
    QPushButton* readClock_ = nullptr;

    QComboBox* baud_ = nullptr;
    QComboBox* parity_ = nullptr;
    QComboBox* interface_ = nullptr;
    QPushButton* writeUart_ = nullptr;
    QPushButton* readUart_ = nullptr;

    QPushButton* restart_ = nullptr;
    QPushButton* wireless_ = nullptr;

    QPushButton* readAll_ = nullptr;
    QPushButton* writeAll_ = nullptr;
    QPushButton* saveProfile_ = nullptr;
    QPushButton* loadProfile_ = nullptr;
    QDialog* report_ = nullptr;
};
