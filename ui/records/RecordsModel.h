// The records page's table: the records newest first, fetched a page at a
// time as the view scrolls to them, each page after the last row shown
// (keyset paging), so that a store of a hundred thousand records costs the
// first page only, and the thousandth page no more than the first. The
// rows stay in the store's order; a view sorts them by kSortRole. The page
// reads the store on its own thread and hands the rows in.
#pragma once

#include "core/records/Record.h"

#include <QAbstractTableModel>

#include <optional>
#include <vector>

class RecordsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Started, Ended, Unit, Action, Result, Port, Version, File, Station, Operator, Detail, kColumns };
    static constexpr std::size_t kPage = 200;
    // What a column sorts by: the kept time for the times (to the
    // millisecond, in UTC), else the text shown.
    static constexpr int kSortRole = Qt::UserRole;

    explicit RecordsModel(QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The first page of what `filter` matches, in place of the rows; `more`
    // when the store may hold more.
    void Reset(const records::Filter& filter, std::vector<records::Record> rows, bool more);
    // The next page, asked for by needMore(); with nothing, when reading it
    // failed, the model may ask again later.
    void Append(std::optional<std::vector<records::Record>> rows);
    // The filter of the page after the last row.
    records::Filter Next() const;
    const std::vector<records::Record>& rows() const { return rows_; }
    // Whether there may be rows below the last one fetched.
    bool more() const { return more_; }
    // needMore() said, and no rows handed in since.
    bool fetching() const { return fetching_; }

    // An action or result in the window's words, and back: what a user
    // types into the filter is what the table shows.
    static QString Word(const std::string& stored);
    static std::string Stored(const QString& word);

signals:
    // The view has scrolled to the end of the rows: Next() is wanted.
    void needMore();

private:
    void Keep(std::vector<records::Record> page);
    QString DetailTip(std::size_t row) const;

    records::Filter filter_;
    std::vector<records::Record> rows_;
    // Each row's detail in the window's words: matched once, not at each paint.
    std::vector<QString> details_;
    bool more_ = false;
    bool fetching_ = false;  // needMore() said, no answer yet
};
