// The records page: every job on a unit that the store keeps, newest first,
// narrowed by what is typed into its filter and exported as `dtuctl records
// --csv` writes them. It reads the store a page at a time on the store's
// own thread, so that a disk or a database server that is slow to answer
// never holds the window; with no store it says why in place of the table.
// A refresh always tries again: a store that could not be opened is opened
// again, one that failed is asked again. "产量" shows the yield of the tests
// among the records above the table; the store counts it, on its thread
// too, only while it is shown.
#pragma once

#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace jobs {
class OpeningStore;
}
namespace records {
class Store;
struct Filter;
}  // namespace records

class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QSplitter;
class QStackedWidget;
class QTableView;
class RecordsModel;
class YieldView;

class RecordsPage : public QDialog {
    Q_OBJECT
public:
    // Typing re-queries once this long has passed without a key.
    static constexpr int kPauseMs = 250;

    // The store being opened, asked for again at each refresh until it
    // gives one (ui::WindowRecords opens a place again after a failure).
    using Opener = std::function<std::shared_ptr<jobs::OpeningStore>()>;
    // `place` as the user chose it.
    RecordsPage(Opener open, const std::string& place, QWidget* parent);
    ~RecordsPage() override;

    RecordsModel* model() const { return model_; }
    YieldView* yieldView() const { return yield_; }
    // The line under the table: "共 120 条记录".
    QString summaryText() const;
    // What the page says in place of the table, or an empty text.
    QString messageText() const;
    // A refresh, a page, the yield or an export waits for the store.
    bool busy() const;

signals:
    // The remembered place was changed here: the window opens it anew.
    void placeChanged();

public slots:
    // From the newest record again, with the filter as it is now; the store
    // opened first when there is none.
    void Refresh();
    void OnExport();

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BuildForm();
    records::Filter CurrentFilter() const;
    // The next page, asked for by the model as the view scrolls.
    void FetchMore();
    // The yield of what the table shows, when it is shown.
    void AskYield();
    void OnYieldToggled(bool shown);
    void SayInstead(const QString& text);
    void UpdateSummary();
    void FitColumns();
    void OnPlace();

    Opener open_;
    std::shared_ptr<jobs::OpeningStore> opening_;
    // Answers to an older refresh than this are dropped: typing quickly
    // asks many times, and only the last counts.
    std::uint64_t generation_ = 0;
    bool answered_ = false;    // the store gave records at the last refresh
    bool refreshing_ = false;  // the last refresh has no answer yet
    bool exporting_ = false;
    std::size_t waiting_ = 0;  // ends kept on this station for it
    // The same for the yield, which is also asked for alone, when shown.
    std::uint64_t yieldGeneration_ = 0;
    bool yieldAsked_ = false;  // no answer yet
    RecordsModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    QLabel* message_ = nullptr;
    // The yield above the table.
    QSplitter* split_ = nullptr;
    YieldView* yield_ = nullptr;
    QPushButton* yieldButton_ = nullptr;
    QTableView* table_ = nullptr;
    QLineEdit* filterEdit_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* placeButton_ = nullptr;
    QLabel* place_ = nullptr;
    QTimer pause_;
    // Says that the store is being reached when it does not answer at once.
    QTimer slow_;
    // The user has set a column's width: the page no longer shares them out.
    bool widthsChosen_ = false;
    bool fitting_ = false;
};
