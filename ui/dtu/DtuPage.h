// The DTU parameter page: every setting of the DTU written, read back and
// shown. The page is cut as a user sees it: each group (DtuListsGroup,
// DtuServerGroup, ...) reads its controls, has the core build its requests
// and shows its answers; the page assembles them, sends their requests with
// "...." in its status pane, and routes the answers that the main window
// hands it to the group that asked.
//
// Answers that end in a message box (the clock, the packets, the wireless
// dialog's) are shown after the notification has returned, one box at a
// time, so that frames arriving while a box is open complete and arrive as
// frames of their own.
//
// A request left unanswered for kReplyTimeoutMs shows "No reply"; a later
// answer still replaces it.
#pragma once

#include "core/dtu/Frame.h"
#include "core/dtu/Requests.h"
#include "core/dtu/Responses.h"
#include "core/dtu/Rf.h"
#include "ui/common/FramePage.h"
#include "ui/dtu/DtuGroup.h"

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

class RfDialog;
class DtuListsGroup;
class DtuPacketsGroup;
class DtuProfileGroup;
class DtuResetGroup;
class DtuSerialGroup;
class DtuServerGroup;
class DtuVersionGroup;
class QGroupBox;
class QLabel;
class QLayout;
class QRadioButton;

namespace profile {
struct DeviceSettings;
}

class DtuPage : public ui::FramePage, private DtuPageLink {
    Q_OBJECT
public:
    static constexpr int kReplyTimeoutMs = dtu::kReplyTimeoutMs;
    static constexpr const char* kNoReply = "No reply";

    explicit DtuPage(QWidget* parent);
    ~DtuPage() override;

    // The wireless dialog, or nullptr before it was first needed.
    RfDialog* rfDialog() const;
    QString paneText(int pane) const;
    // A whole-DTU read or write is under way.
    bool running() const;
    // The profile text "保存配置…" writes: the settings the model's
    // "全部读取" reads, as the page shows them; or the refusal.
    std::string ProfileText(std::string* refusal) const override;
    // Fills the controls from a profile's keys; sends nothing.
    void ApplyProfile(const profile::Profile& p) override;
    // The remote port as typed, and the packets as "写入" would send them
    // now (the whole request frame).
    QString remotePortText() const;
    dtu::Bytes packetsRequest() const;

protected:
    void OnFrame(const ui::FrameEvent& frame) override;
    void timerEvent(QTimerEvent* e) override;
    // A hidden page hears no answers: a whole-DTU run ends with it.
    void hideEvent(QHideEvent* e) override;

private slots:
    void OnModel330M();
    void OnModel330N();
    void OnModel331();

private:
    void BuildForm();
    QGroupBox* BuildModelFrame();
    void BuildStatusBar(QLayout* layout);
    void ApplyModel(DtuModel model);

    // The page as its groups see it.
    QWidget* pageWidget() override { return this; }
    DtuModel CurrentModel() const override;
    void Send(const dtu::Bytes& frame) override;
    void SendQuery(std::uint8_t code) override;
    void SendBuilt(const dtu::Built& built) override;
    void Say(const char* text) override;
    using DtuPageLink::Say;
    bool Confirm(const char* text) override;
    void SetStatusText(const QString& text) override;
    void SaveData() override;
    void LoadData() override;
    void CompleteWrite(profile::Profile& p) const override;

    void SetStatus(const char* text);
    // A message box after the current notification, in turn with the others.
    void ShowLater(const QString& text, std::function<void()> then = {});
    void ShowPending();
    // The page's controls as the settings of `queries`, or the refusal.
    std::optional<profile::DeviceSettings> PageSettings(unsigned queries, std::string* refusal) const;

    QBasicTimer replyTimer_;
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

    DtuListsGroup* lists_ = nullptr;
    DtuServerGroup* server_ = nullptr;
    DtuVersionGroup* version_ = nullptr;
    DtuProfileGroup* profile_ = nullptr;
    DtuPacketsGroup* packets_ = nullptr;
    DtuSerialGroup* serial_ = nullptr;
    DtuResetGroup* reset_ = nullptr;
};
