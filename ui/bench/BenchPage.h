// The bench: every DTU on the bench at once, one job per checked port, run
// as one batch of the jobs library dtuctl runs on; each row with its own
// progress, and a failure fails its row alone. This page only shows rows
// and words results: it never waits on a line, a timer collects what the
// jobs report at most kPollMs apart.
#pragma once

#include "jobs/port/Batch.h"
#include "jobs/port/Job.h"
#include "jobs/production/UnitTest.h"
#include "ui/bench/BenchModel.h"

#include <QAbstractItemDelegate>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;
class WriteReportDialog;

class BenchPage : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPollMs = 50;

    // `ports`: the serial devices the settings page lists; `names`: what
    // the application calls some of them; `named`: the ports named on the
    // command line or simulated, listed first and checked.
    using PortSource = std::function<QStringList()>;
    BenchPage(PortSource ports, QHash<QString, QString> names, QStringList named, QWidget* parent);
    ~BenchPage() override;

    BenchModel* model() const { return model_; }
    bool running() const { return jobs_ != nullptr; }
    // The line under the table: "完成 14/16，失败 2"; for a test "通过 14/16，失败 2".
    QString summaryText() const;

    // Adds a typed port (path or URL) as a row, remembered; false when
    // there is one already or it is empty.
    bool AddPort(const QString& port);

signals:
    // "记录": the records page, which the main window owns.
    void recordsWanted();
    // What the test server of a running test saw, for the server page.
    void testServerNews(const server::News& news);

public slots:
    void OnRead();
    void OnWrite();
    void OnUpgrade();
    // "测试…": a plan chosen and every checked row tested, the test server
    // running for the batch (BenchPageProduction.cpp).
    void OnTest();
    void OnStop();
    void OnExport();
    // "只勾选失败的": the rows to run again.
    void CheckFailed();

private:
    void BuildForm();
    void FillRows(const QStringList& named);
    void RememberTyped() const;
    jobs::Line ChosenLine() const;
    // Starts `work` on every checked row that is free; false when none is.
    bool Start(const jobs::Work& work, const QString& action);
    // Why a row cannot be worked on now, or nothing.
    QString Busy(const BenchRow& row) const;
    void Poll();
    void Show(std::size_t row, const jobs::Progress& p);
    void Finish(std::size_t row, const jobs::Outcome& outcome);
    // The cause in the window's words, with the blocks acknowledged of an
    // upgrade; what has no words here is said as dtuctl says it.
    QString FailureWords(const jobs::Outcome& o) const;
    void UpdateButtons();
    void ShowReport(const QModelIndex& index);
    void ShowMeasurements(const BenchRow& row);
    // After a label was typed: the next row's label, for the next scan.
    void NextLabel(QWidget* editor, QAbstractItemDelegate::EndEditHint hint);
    // The test's words for a row that ended.
    void FinishTest(BenchRow& row, const jobs::Outcome& o);

    PortSource ports_;
    QHash<QString, QString> names_;
    BenchModel* model_;
    QTableView* table_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;  // the rows as the table shows them
    QLineEdit* operatorEdit_ = nullptr;
    QComboBox* baudCombo_ = nullptr;
    QComboBox* parityCombo_ = nullptr;
    QCheckBox* fastCheck_ = nullptr;
    QLineEdit* portEdit_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* readButton_ = nullptr;
    QPushButton* writeButton_ = nullptr;
    QPushButton* upgradeButton_ = nullptr;
    QPushButton* testButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    WriteReportDialog* report_ = nullptr;
    QTimer poll_;

    // What the jobs of the current batch work with; alive until they end.
    std::shared_ptr<const profile::Profile> profile_;
    QString profilePath_;  // named by the records
    std::shared_ptr<const jobs::Image> image_;
    // A test's plan and its files, and the station its units dial.
    std::shared_ptr<jobs::TestRun> test_;
    std::shared_ptr<jobs::Station> station_;
    QString planPath_;
    std::unique_ptr<jobs::Batch> jobs_;  // while they run
    std::vector<std::size_t> jobRows_;    // the row of each job
    std::vector<std::size_t> lastRows_;   // the rows of the last start, skipped ones too
};
