#include "ui/night_model.h"

#include <QHeaderView>
#include <algorithm>

#include "core/calendar.h"
#include "platform/qt_text.h"

namespace suelvan {

using platform::Utf8;

void NightModel::SetReport(std::shared_ptr<const Report> report) {
    beginResetModel();
    report_ = std::move(report);
    nights_.clear();
    counts_.clear();
    if (report_) {
        for (const auto& [night, counts] : report_->nights) {
            nights_.push_back(night);
            counts_.push_back(counts);
        }
    }
    endResetModel();
}

int NightModel::RowOf(int night) const {
    const auto found = std::lower_bound(nights_.begin(), nights_.end(), night);
    return found != nights_.end() && *found == night ? static_cast<int>(found - nights_.begin()) : -1;
}

int NightModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(nights_.size());
}

int NightModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant NightModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::TextAlignmentRole && index.column() != kNight)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) return {};
    const auto row = static_cast<std::size_t>(index.row());
    const NightCounts& counts = counts_[row];
    switch (index.column()) {
        case kNight: return Utf8(NightName(nights_[row]));
        case kEntries: return counts.entries;
        case kFirst: return Utf8(ShortClockText(counts.first));
        case kLast: return Utf8(ShortClockText(counts.last));
        default: return {};
    }
}

QVariant NightModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const kTitles[] = {"Nacht", "Einträge", "erster", "letzter"};
    return section >= 0 && section < kColumns ? QString::fromUtf8(kTitles[section]) : QVariant();
}

QTableView* MakeNightView(NightModel* model, QWidget* parent) {
    auto* table = new QTableView(parent);
    table->setObjectName(QStringLiteral("tblNaechte"));
    table->setAccessibleName(QStringLiteral("Nächte"));
    table->setModel(model);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
    QHeaderView* header = table->horizontalHeader();
    const QFontMetrics metrics = table->fontMetrics();
    const int pad = metrics.averageCharWidth() * 3;
    const QString widest[] = {QStringLiteral("31.12.2026/1.1.2027"), QStringLiteral("Einträge"),
                              QStringLiteral("erster"), QStringLiteral("letzter")};
    for (int column = 0; column < NightModel::kColumns; ++column)
        header->resizeSection(column, metrics.horizontalAdvance(widest[column]) + pad);
    header->setStretchLastSection(true);
    return table;
}

}  // namespace suelvan
