// The records page's table: the records newest first, fetched a page at a
// time as the view scrolls to them, each page after the last row shown
// (keyset paging), so that a store of a hundred thousand records costs the
// first page only, and the thousandth page no more than the first.
#pragma once

#include "core/records/Record.h"

#include <QAbstractTableModel>

#include <memory>
#include <optional>
#include <vector>

namespace records {
class Store;
}

class RecordsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Started, Ended, Unit, Action, Result, Port, Version, File, Station, Operator, Detail, kColumns };
    static constexpr std::size_t kPage = 200;

    RecordsModel(std::shared_ptr<records::Store> store, QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    // The first page of what `filter` matches, in place of the rows; false,
    // with the store's message, when the store failed.
    bool Reset(const records::Filter& filter, QString& error);
    const std::vector<records::Record>& rows() const { return rows_; }
    // Whether there may be rows below the last one fetched.
    bool more() const { return more_; }

    // An action or result in the window's words, and back: what a user
    // types into the filter is what the table shows.
    static QString Word(const std::string& stored);
    static std::string Stored(const QString& word);

signals:
    void fetchFailed(const QString& error);

private:
    std::optional<std::vector<records::Record>> Page(std::string& error) const;

    std::shared_ptr<records::Store> store_;
    records::Filter filter_;
    std::vector<records::Record> rows_;
    bool more_ = false;
};
