#pragma once

#include <QWidget>

class GridModel;
class QLabel;
class QListWidget;
class QListWidgetItem;

// "Prüfliste": every rule of the choice at a glance. Lists what the current grid still
// violates, each rule on its own (violations first, then notes), and is brought up to date
// whenever the grid changes. Activating an entry asks the main window to select its cells.
class TPruefListeForm : public QWidget {
    Q_OBJECT

public:
    // `grid` is not owned and must outlive the window.
    explicit TPruefListeForm(const GridModel &grid, QWidget *parent = nullptr);

    // Builds the list anew from the grid.
    void UpdateList();

    // The lines shown, in order (without their symbols).
    QStringList Lines() const;

    // --- Controls (owned by the window) ---
    QLabel *Label1 = nullptr; // the summary above the list
    QListWidget *ListBox1 = nullptr;

    static const QString kAllFulfilled;
    static const QString kForeignLanguageReminder;

signals:
    // The entry stands for the cells of `column` from `firstRow` to `lastRow`.
    void cellsChosen(int column, int firstRow, int lastRow);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void itemActivated(QListWidgetItem *item);

    const GridModel &m_grid;
};
