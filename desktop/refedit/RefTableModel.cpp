#include "desktop/refedit/RefTableModel.h"

#include "desktop/widgets/Utf8.h"
#include "refedit/TableTransfer.h"
#include "refedit/ValueCheck.h"

#include <cstring>

namespace vorn {

QString tableMessage(const std::exception& e) {
    const char* what = e.what();
    if (dynamic_cast<const RecordLocked*>(&e))
        return "Строку сейчас изменяет другой пользователь. Повторите позже.";
    if (std::strcmp(what, "Cannot modify a read-only dataset") == 0)
        return "Таблица открыта только для чтения.";
    return u8(what);
}

RefTableModel::RefTableModel(const std::string& dataDir, const RefTableDesc& desc, QObject* parent)
    : QAbstractTableModel(parent), desc_(desc), table_(TableTransfer::open(dataDir, desc)) {
    for (int i = 0; i < table_->fieldCount(); ++i)
        fields_.push_back(table_->field(i));
    rows_ = table_->recordCount();
}

RefTableModel::~RefTableModel() = default;

QString RefTableModel::fieldName(int column) const {
    return u8(fields_.at(static_cast<size_t>(column)).name);
}

int RefTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

int RefTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(fields_.size());
}

bool RefTableModel::seek(int row) const {
    if (row < 0 || row >= rows_)
        return false;
    if (cursorRow_ < 0 || row < cursorRow_ - row) {
        table_->first();
        cursorRow_ = 0;
    }
    while (cursorRow_ < row && !table_->eof()) {
        table_->next();
        ++cursorRow_;
    }
    while (cursorRow_ > row && !table_->bof()) {
        table_->prior();
        --cursorRow_;
    }
    return !table_->eof() && cursorRow_ == row;
}

Value RefTableModel::cell(int row, int column) const {
    if (!seek(row))
        return {};
    return table_->value(fields_[static_cast<size_t>(column)].name);
}

bool RefTableModel::isKey(int column) const {
    return equalsIgnoreCase(fields_[static_cast<size_t>(column)].name, desc_.key);
}

QVariant RefTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const FieldInfo& f = fields_[static_cast<size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return u8(formatValue(f, cell(index.row(), index.column()), ','));
    case SortRole: {
        const Value v = cell(index.row(), index.column());
        if (isNumericField(f))
            return v.toDouble();
        return u8(foldCase(v.toString()));
    }
    case Qt::TextAlignmentRole:
        return isNumericField(f) ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                 : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant RefTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical)
        return role == Qt::DisplayRole ? QVariant(section + 1) : QVariant();
    if (section < 0 || section >= columnCount())
        return {};
    const FieldInfo& f = fields_[static_cast<size_t>(section)];
    const RefColumn* col = desc_.column(f.name);
    if (role == Qt::DisplayRole)
        return col ? QString::fromUtf8(col->caption) : u8(f.name);
    if (role == Qt::ToolTipRole)
        return u8(f.name);
    return {};
}

Qt::ItemFlags RefTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool RefTableModel::keyTaken(const std::string& key, int exceptRow) const {
    for (int r = 0; r < rows_; ++r) {
        if (r == exceptRow)
            continue;
        for (int c = 0; c < columnCount(); ++c)
            if (isKey(c) && keyText(fields_[static_cast<size_t>(c)], cell(r, c)) == key)
                return true;
    }
    return false;
}

bool RefTableModel::write(const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        try {
            table_->cancel();
        } catch (...) {
            // the table is closed or gone: the message below says why
        }
        cursorRow_ = -1;
        emit refused(tableMessage(e));
        return false;
    }
}

bool RefTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    const int column = index.column();
    const FieldInfo& f = fields_[static_cast<size_t>(column)];
    const RefColumn* col = desc_.column(f.name);
    const QString caption = col ? QString::fromUtf8(col->caption) : u8(f.name);
    const CellCheck check =
        checkCell(f, col, {value.toString().toStdString(), false}, isKey(column));
    if (!check.ok()) {
        emit refused(caption + ": " + u8(check.error));
        return false;
    }
    if (isKey(column) && keyTaken(keyText(f, check.value), index.row())) {
        emit refused(caption + ": «" + u8(check.value.toString()) + "» уже есть в таблице");
        return false;
    }
    if (formatValue(f, cell(index.row(), column), ',') == formatValue(f, check.value, ','))
        return true; // nothing to write
    if (isKey(column) && beforeRename &&
        !beforeRename(cell(index.row(), column).toString(), check.value.toString()))
        return false;
    const bool ok = write([&] {
        seek(index.row());
        table_->edit();
        table_->setValue(f.name, check.value);
        table_->post();
    });
    if (!ok)
        return false;
    emit dataChanged(index, index);
    emit changed();
    return true;
}

Value RefTableModel::freshKey(const std::string& base) const {
    int keyColumn = -1;
    for (int c = 0; c < columnCount(); ++c)
        if (isKey(c))
            keyColumn = c;
    if (keyColumn < 0)
        return {};
    const FieldInfo& f = fields_[static_cast<size_t>(keyColumn)];
    if (isNumericField(f)) {
        double top = 0;
        for (int r = 0; r < rows_; ++r)
            top = std::max(top, cell(r, keyColumn).toDouble());
        return Value(top + 1);
    }
    const RefColumn* col = desc_.column(f.name);
    const int width = col && col->keyWidth > 0 ? std::min(col->keyWidth, f.length) : f.length;
    const QString stem = u8(base);
    for (int n = 1;; ++n) {
        const QString suffix = n == 1 ? QString() : QString(" %1").arg(n);
        const QString name = stem.left(width - static_cast<int>(suffix.size())).trimmed() + suffix;
        if (!keyTaken(keyText(f, Value(name.toStdString())), -1))
            return Value(name.toStdString());
    }
}

int RefTableModel::appended() {
    beginInsertRows({}, rows_, rows_);
    ++rows_;
    cursorRow_ = rows_ - 1; // the table's cursor stays on the record it appended
    endInsertRows();
    emit changed();
    return rows_ - 1;
}

int RefTableModel::addRow() {
    // A number that may not be left empty (a conductivity) starts as the last row's, so
    // that the new row is one the import would take too; the user corrects it next.
    std::vector<std::pair<std::string, Value>> required;
    for (int c = 0; c < columnCount(); ++c) {
        const FieldInfo& f = fields_[static_cast<size_t>(c)];
        const RefColumn* col = desc_.column(f.name);
        if (isKey(c) || !col || checkCell(f, col, {"", false}).ok())
            continue;
        if (rows_ == 0) {
            emit refused(QString::fromUtf8(col->caption) +
                         ": значение обязательно. Первую строку этой таблицы добавьте "
                         "импортом из файла.");
            return -1;
        }
        required.emplace_back(f.name, cell(rows_ - 1, c));
    }
    const bool ok = write([&] {
        const Value key = freshKey("Новая запись");
        table_->append();
        for (const auto& [field, value] : required)
            table_->setValue(field, value);
        if (!key.isNull())
            table_->setValue(desc_.key, key);
        // a row that is already valid where the column allows only some values
        for (const RefColumn& c : desc_.columns)
            if (!c.choices.empty() && table_->hasField(c.field))
                table_->setValue(c.field, Value(c.choices.back()));
        table_->post();
    });
    return ok ? appended() : -1;
}

int RefTableModel::duplicateRow(int row) {
    if (row < 0 || row >= rows_)
        return -1;
    std::vector<Value> values;
    for (int c = 0; c < columnCount(); ++c)
        values.push_back(cell(row, c));
    const bool ok = write([&] {
        Value key;
        for (int c = 0; c < columnCount(); ++c)
            if (isKey(c))
                key = freshKey(values[static_cast<size_t>(c)].toString());
        table_->append();
        for (int c = 0; c < columnCount(); ++c)
            table_->setValue(fields_[static_cast<size_t>(c)].name,
                             isKey(c) ? key : values[static_cast<size_t>(c)]);
        table_->post();
    });
    return ok ? appended() : -1;
}

bool RefTableModel::deleteRow(int row) {
    if (row < 0 || row >= rows_)
        return false;
    const bool ok = write([&] {
        if (!seek(row))
            throw DbfError("Строки уже нет в таблице");
        table_->deleteRecord();
    });
    if (!ok)
        return false;
    beginRemoveRows({}, row, row);
    --rows_;
    cursorRow_ = -1;
    endRemoveRows();
    emit changed();
    return true;
}

std::string RefTableModel::keyOf(int row) const {
    for (int c = 0; c < columnCount(); ++c)
        if (isKey(c))
            return cell(row, c).toString();
    return {};
}

void RefTableModel::reload() {
    beginResetModel();
    table_->first();
    cursorRow_ = -1;
    rows_ = table_->recordCount();
    endResetModel();
}

} // namespace vorn
