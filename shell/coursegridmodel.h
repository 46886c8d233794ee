#pragma once

#include <QIdentityProxyModel>

class GridModel;

// The course grid as its view presents it: the texts of the GridModel, with a spoken name for
// every cell ("LK 1, 1. Semester: Deutsch") and, for a data cell whose text is no subject, a
// tooltip that says so and names the subject that was probably meant.
class CourseGridModel : public QIdentityProxyModel {
    Q_OBJECT

public:
    explicit CourseGridModel(GridModel *grid, QObject *parent = nullptr);

    GridModel *grid() const { return m_grid; }

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // The label of a column ("1. Semester") or row ("LK 1"), as screen readers name them.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // True for a text that, blanks trimmed, is neither empty nor a subject of the catalog.
    static bool IsUnknownSubject(const QString &text);

    // The tooltip of a cell holding `text`, which is no subject.
    static QString UnknownSubjectHint(const QString &text);

private:
    GridModel *m_grid;
};
