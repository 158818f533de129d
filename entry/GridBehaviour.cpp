#include "entry/GridBehaviour.h"

#include <QAbstractButton>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QTableWidget>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {

// Capitals and digits vary in width; their mean, with a little to spare,
// fits real identifiers and names.
int capitalsWidth(const QFontMetrics& fm, int chars) {
    static const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    const double mean = double(fm.horizontalAdvance(sample)) / double(sample.size());
    return int(std::ceil(mean * 1.08 * chars));
}

// The style's text margin on both sides, the grid line and a pixel of
// rounding.
int cellMargin(const QTableWidget* grid) {
    return 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1) + 2;
}

void widen(QTableWidget* grid, int column, int width) {
    QHeaderView* header = grid->horizontalHeader();
    // A width set while the last column stretches would be lost.
    const bool stretch = header->stretchLastSection();
    header->setStretchLastSection(false);
    grid->setColumnWidth(column, std::max(grid->columnWidth(column), width));
    header->setStretchLastSection(stretch);
}

class RowActivation : public QObject {
public:
    RowActivation(QTableWidget* grid, QAbstractButton* button)
        : QObject(grid), grid_(grid), button_(button) {}

    void press() {
        if (button_ && button_->isEnabled() && grid_->currentRow() >= 0)
            button_->click();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            if (enter && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                press();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTableWidget* grid_;
    QPointer<QAbstractButton> button_;
};

const char* const shareWidthName = "shareWidth";

class ShareWidth : public QObject {
public:
    ShareWidth(QTableWidget* grid, const QList<int>& flexible)
        : QObject(grid), grid_(grid), flexible_(flexible) {
        setObjectName(QLatin1String(shareWidthName));
        // Unstretched, the last column is back at the width it was given.
        grid->horizontalHeader()->setStretchLastSection(false);
        for (int c = 0; c < grid->columnCount(); ++c)
            fitted_.append(grid->columnWidth(c));
        wanted_ = fitted_;
        grid->viewport()->installEventFilter(this);
        grid->setMinimumWidth(chrome() + fixedWidth() + headersWidth());
        QAbstractItemModel* model = grid->model();
        for (auto changed : {&QAbstractItemModel::rowsRemoved, &QAbstractItemModel::rowsInserted})
            connect(model, changed, this, &ShareWidth::measureSoon);
        connect(model, &QAbstractItemModel::dataChanged, this, &ShareWidth::measureSoon);
        connect(model, &QAbstractItemModel::modelReset, this, &ShareWidth::measureSoon);
    }

    int wantedWidth() const {
        int width = chrome();
        for (int w : wanted_)
            width += w;
        return width;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize)
            share();
        return QObject::eventFilter(watched, event);
    }

private:
    // The frame and a vertical scroll bar, kept whether it shows or not.
    int chrome() const {
        return 2 * grid_->frameWidth() + grid_->verticalScrollBar()->sizeHint().width();
    }
    int fixedWidth() const {
        int width = 0;
        for (int c = 0; c < wanted_.size(); ++c)
            if (!flexible_.contains(c))
                width += wanted_[c];
        return width;
    }
    int headersWidth() const {
        int width = 0;
        for (int c : flexible_)
            width += grid_->horizontalHeader()->sectionSizeHint(c);
        return width;
    }
    // Once for a whole refill, which changes many cells.
    void measureSoon() {
        if (measuring_)
            return;
        measuring_ = true;
        QTimer::singleShot(0, this, [this] {
            measuring_ = false;
            measure();
            share();
        });
    }
    // What each flexible column holds: its widest text (only the longest
    // texts are measured, so long lists stay quick), never less than its
    // header; an empty list keeps the fitted widths.
    void measure() {
        const QFontMetrics fm = grid_->fontMetrics();
        for (int c : flexible_) {
            qsizetype longest = 0;
            for (int r = 0; r < grid_->rowCount(); ++r)
                if (const QTableWidgetItem* item = grid_->item(r, c))
                    longest = std::max(longest, item->text().size());
            int widest = 0;
            for (int r = 0; r < grid_->rowCount(); ++r)
                if (const QTableWidgetItem* item = grid_->item(r, c);
                    item && item->text().size() + 4 >= longest)
                    widest = std::max(widest, fm.horizontalAdvance(item->text()));
            wanted_[c] = grid_->rowCount() == 0
                             ? fitted_[c]
                             : std::max(grid_->horizontalHeader()->sectionSizeHint(c),
                                        widest + cellMargin(grid_));
        }
    }
    // The columns other than the flexible ones keep their widths; the
    // flexible ones share the rest by what they hold: each whole when there
    // is room (and the room left over shared the same way), cut alike when
    // there is not, never narrower than its header.
    void share() {
        int wantedFlexible = 0;
        for (int c : flexible_)
            wantedFlexible += wanted_[c];
        const int left = grid_->viewport()->width() - fixedWidth();
        for (int c = 0; c < wanted_.size(); ++c)
            if (!flexible_.contains(c))
                grid_->setColumnWidth(c, wanted_[c]);
        for (int c : flexible_) {
            const int share =
                wantedFlexible > 0 ? int(qint64(wanted_[c]) * left / wantedFlexible) : 0;
            grid_->setColumnWidth(c,
                                  std::max(grid_->horizontalHeader()->sectionSizeHint(c), share));
        }
    }

    QTableWidget* grid_;
    QList<int> flexible_;
    QList<int> fitted_;
    QList<int> wanted_;
    bool measuring_ = false;
};

} // namespace

void gridShareWidth(QTableWidget* grid, const QList<int>& flexible) {
    new ShareWidth(grid, flexible);
}

int gridWantedWidth(const QTableWidget* grid) {
    const auto* share =
        grid->findChild<ShareWidth*>(QLatin1String(shareWidthName), Qt::FindDirectChildrenOnly);
    return share ? share->wantedWidth() : grid->minimumWidth();
}

void gridStretchColumn(QTableWidget* grid, int column) {
    grid->horizontalHeader()->setStretchLastSection(false);
    grid->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Stretch);
}

void gridFitColumns(QTableWidget* grid, const QList<int>& charsWide) {
    QHeaderView* header = grid->horizontalHeader();
    for (int c = 0; c < grid->columnCount(); ++c) {
        // Unknown (0) asks for no more than the margin, which the header
        // always exceeds.
        int width = header->sectionSizeHint(c);
        if (c < charsWide.size())
            width = std::max(width,
                             capitalsWidth(grid->fontMetrics(), charsWide[c]) + cellMargin(grid));
        widen(grid, c, width);
    }
    header->setStretchLastSection(true);
}

void gridFitColumnTo(QTableWidget* grid, int column, const QStringList& texts) {
    int widest = 0;
    for (const QString& t : texts)
        widest = std::max(widest, grid->fontMetrics().horizontalAdvance(t));
    widen(grid, column, widest + cellMargin(grid));
}

void gridActivates(QTableWidget* grid, QAbstractButton* button) {
    auto* activation = new RowActivation(grid, button);
    grid->installEventFilter(activation);
    QObject::connect(grid, &QTableWidget::cellDoubleClicked, activation,
                     [activation] { activation->press(); });
}
