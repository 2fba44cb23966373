// The nights of a report as a table: each named by its two dates, with its number of
// entries at night and its first and last time.
#pragma once

#include <QAbstractTableModel>
#include <QTableView>
#include <memory>
#include <vector>

#include "core/statistics.h"

namespace suelvan {

class NightModel : public QAbstractTableModel {
    Q_OBJECT

   public:
    enum Column { kNight, kEntries, kFirst, kLast, kColumns };

    using QAbstractTableModel::QAbstractTableModel;
    void SetReport(std::shared_ptr<const Report> report);
    int NightAt(int row) const { return nights_[static_cast<std::size_t>(row)]; }
    // The row of that night, or -1.
    int RowOf(int night) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

   private:
    std::shared_ptr<const Report> report_;
    std::vector<int> nights_;  // evenings, in order
    std::vector<NightCounts> counts_;
};

// The table of the nights, a row chosen by a click or by Enter.
QTableView* MakeNightView(NightModel* model, QWidget* parent);

}  // namespace suelvan
