#include "shell/coursegridmodel.h"

#include "shell/griditemmodel.h"

#include "rules/catalog.h"
#include "rules/grid.h"
#include "rules/suggestion.h"

#include <QTextDocument>

CourseGridModel::CourseGridModel(GridModel *grid, QObject *parent)
    : QIdentityProxyModel(parent), m_grid(grid) {
    setSourceModel(new GridItemModel(grid, this));
}

bool CourseGridModel::IsUnknownSubject(const QString &text) {
    return LookupSubjectCode(text) == kUnknownSubject;
}

QString CourseGridModel::UnknownSubjectHint(const QString &text) {
    QString hint = QStringLiteral("Das Fach »") + TrimBlanks(text) + QStringLiteral("« ist nicht bekannt.");
    const QString suggestion = SuggestSubject(text);
    if (!suggestion.isEmpty())
        hint += QStringLiteral("\nMeinst du »") + suggestion + QStringLiteral("«?");
    return hint;
}

QVariant CourseGridModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || (role != Qt::AccessibleTextRole && role != Qt::ToolTipRole))
        return QIdentityProxyModel::data(index, role);
    const int column = index.column();
    const int row = index.row();
    const QString text = m_grid->cell(column, row);
    const bool dataCell = GridModel::isDataCell(column, row);
    if (role == Qt::ToolTipRole) {
        if (dataCell && IsUnknownSubject(text)) {
            // As plain text, whatever the cell holds.
            return Qt::convertFromPlainText(UnknownSubjectHint(text), Qt::WhiteSpaceNoWrap);
        }
        return QIdentityProxyModel::data(index, role);
    }
    if (!dataCell)
        return text.trimmed();
    QString name = m_grid->cell(0, row).trimmed() + QStringLiteral(", ") + m_grid->cell(column, 0).trimmed() +
                   QStringLiteral(": ") +
                   (TrimBlanks(text).isEmpty() ? QStringLiteral("leer") : text.trimmed());
    if (IsUnknownSubject(text))
        name += QStringLiteral(" (unbekanntes Fach)");
    return name;
}

QVariant CourseGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return QIdentityProxyModel::headerData(section, orientation, role);
    return orientation == Qt::Horizontal ? m_grid->cell(section, 0).trimmed() : m_grid->cell(0, section).trimmed();
}
