// The DTU page's whole-DTU group: "全部读取", "全部写入" with its read-back
// report, and profiles saved and loaded in dtuctl's schema. A run sends one
// request of its sequence (see core/profile/Sequence.h) when the last was
// answered or given up, and says its progress in pane 1.
#pragma once

#include "core/dtu/Responses.h"
#include "core/profile/Provision.h"
#include "jobs/port/Messages.h"
#include "ui/common/Records.h"
#include "ui/dtu/DtuGroup.h"

#include <QBasicTimer>
#include <QObject>

#include <memory>
#include <optional>
#include <vector>

class QDialog;
class WriteReportDialog;
class QGroupBox;
class QPushButton;

namespace profile {
struct PlannedWrite;
class Sequence;
}

class DtuProfileGroup : public QObject {
    Q_OBJECT
public:
    DtuProfileGroup(DtuPageLink& page, QWidget* parent);
    ~DtuProfileGroup() override;

    QGroupBox* box() const { return box_; }
    bool running() const { return run_ != nullptr; }
    // An answer while running: the run's, not the groups'.
    void Answered(const dtu::Response& r);
    // The page was hidden and hears no more answers.
    void Stop();

protected:
    void timerEvent(QTimerEvent* e) override;

private slots:
    void OnReadAll();
    void OnWriteAll();
    void OnSaveProfile();
    void OnLoadProfile();

private:
    enum class Run { Read, Write };
    void StartRun(Run kind, std::unique_ptr<profile::Sequence> run);
    void SendStep();
    void StepAnswered();
    void FinishRun();
    // `result` for the record of a write under way.
    // `detail` is the record's, in English as dtuctl words it.
    void StopRun(const QString& why, std::string_view result = records::kResultStopped,
                 const std::string& detail = jobs::msg::kStopped);
    void ShowWriteReport(const std::vector<profile::Checked>& rows);
    void CompleteRecord(std::string_view result, const std::string& detail);
    // What the page leaves out of the loaded profile, or nothing.
    QString NotWrittenText() const;

    DtuPageLink& page_;
    QBasicTimer stepTimer_;
    std::unique_ptr<profile::Sequence> run_;
    Run runKind_ = Run::Read;
    std::unique_ptr<profile::Profile> runProfile_;  // what a write sends, for its report
    std::vector<profile::PlannedWrite> runWrites_;
    // The record of the write under way, completed when it ends.
    std::optional<ui::PageRecord> record_;
    std::uint64_t starts_ = 0;  // "全部写入" presses, so a late record starts no old run
    // The last loaded profile, for what a write leaves out of it.
    std::unique_ptr<profile::Profile> loaded_;

    QGroupBox* box_ = nullptr;
    QPushButton* readAll_ = nullptr;
    QPushButton* writeAll_ = nullptr;
    QPushButton* saveProfile_ = nullptr;
    QPushButton* loadProfile_ = nullptr;
    WriteReportDialog* report_ = nullptr;
};
