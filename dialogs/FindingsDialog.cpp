#include "dialogs/FindingsDialog.h"

#include "entry/ScreenFit.h"
#include "ui_FindingsDialog.h"

#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTimer>

namespace {

// Where a row's problem is kept.
constexpr int ProblemRole = Qt::UserRole;

// Rows as tall as their texts wrapped in their columns' widths (the view's
// own rows stay one line high whatever the width).
class WrappedRows : public QStyledItemDelegate {
public:
    explicit WrappedRows(QTreeWidget* list) : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize one = QStyledItemDelegate::sizeHint(option, index);
        const int width = list_->isFirstColumnSpanned(index.row(), index.parent())
                              ? list_->viewport()->width()
                              : list_->header()->sectionSize(index.column());
        const QRect text =
            option.fontMetrics.boundingRect(QRect(0, 0, std::max(width - 8, 1), 1 << 20),
                                            Qt::TextWordWrap, index.data().toString());
        return {one.width(), std::max(one.height(), text.height() + 4)};
    }

private:
    QTreeWidget* list_;
};

QString pageText(WizardPage page) {
    return QStringLiteral("%1").arg(int(page));
}

} // namespace

FindingsDialog::FindingsDialog(const QList<Problem>& problems, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::FindingsDialog>()), problems_(problems) {
    ui->setupUi(this);
    const qsizetype errors = std::count_if(problems.begin(), problems.end(),
                                           [](const Problem& p) { return p.blocking; });
    const qsizetype observations = problems.size() - errors;
    ui->lblResumen->setText(
        errors > 0
            ? QStringLiteral("El archivo de información no se puede generar todavía: la revisión "
                             "encontró %1 error(es) y %2 observación(es). Elija un renglón y "
                             "pulse Ir para corregirlo.")
                  .arg(errors)
                  .arg(observations)
            : QStringLiteral("La revisión encontró %1 observación(es) que no impiden generar el "
                             "archivo. Revíselas o pulse Continuar con la llave.")
                  .arg(observations));
    bool headed[2] = {false, false};
    for (qsizetype i = 0; i < problems_.size(); ++i) {
        const Problem& p = problems_[i];
        if (!headed[p.blocking]) {
            headed[p.blocking] = true;
            addHeading(p.blocking ? QStringLiteral("Errores: impiden generar el archivo")
                                  : QStringLiteral("Observaciones: no impiden generarlo"));
        }
        addRow(p);
        ui->twHallazgos->topLevelItem(ui->twHallazgos->topLevelItemCount() - 1)
            ->setData(0, ProblemRole, int(i));
    }
    QHeaderView* h = ui->twHallazgos->header();
    h->setStretchLastSection(false);
    h->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    h->resizeSection(1, personWidth());
    h->setSectionResizeMode(2, QHeaderView::Stretch);
    h->setSectionResizeMode(3, QHeaderView::Stretch);
    // The texts wrap within their columns; nothing is left to scroll to.
    ui->twHallazgos->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ui->twHallazgos->setTextElideMode(Qt::ElideNone);
    ui->twHallazgos->setItemDelegate(new WrappedRows(ui->twHallazgos));
    // Rows take the height their texts need at the columns' new widths.
    connect(h, &QHeaderView::sectionResized, this,
            [this] { QTimer::singleShot(0, ui->twHallazgos, &QTreeWidget::doItemsLayout); });
    ui->cmdContinuar->setVisible(errors == 0);
    connect(ui->cmdIr, &QPushButton::clicked, this, &FindingsDialog::goToCurrent);
    connect(ui->cmdCerrar, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->cmdContinuar, &QPushButton::clicked, this, [this] {
        choice_.action = FindingsChoice::Action::Continue;
        accept();
    });
    // Enter on a row and a double click do what Ir does.
    connect(ui->twHallazgos, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { goTo(item); });
    connect(ui->twHallazgos, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        ui->cmdIr->setEnabled(item && item->data(0, ProblemRole).isValid());
    });
    // The first problem chosen, so Enter alone leads to it.
    for (int i = 0; i < ui->twHallazgos->topLevelItemCount(); ++i)
        if (QTreeWidgetItem* item = ui->twHallazgos->topLevelItem(i);
            item->data(0, ProblemRole).isValid()) {
            ui->twHallazgos->setCurrentItem(item);
            break;
        }
    ui->twHallazgos->setFocus();
}

FindingsDialog::~FindingsDialog() = default;

// A CURP whole, and the name below it.
int FindingsDialog::personWidth() const {
    return fontMetrics().horizontalAdvance(QStringLiteral("MMMM800202MDFRRS01")) + 24;
}

QSize FindingsDialog::sizeHint() const {
    const int text = fontMetrics().averageCharWidth() * 55;
    const QMargins m = layout()->contentsMargins();
    const int width = ui->twHallazgos->header()->sectionSizeHint(0) + personWidth() + 2 * text +
                      ui->twHallazgos->verticalScrollBar()->sizeHint().width() + m.left() +
                      m.right() + 2 * ui->twHallazgos->frameWidth();
    return QSize(width, std::max(QDialog::sizeHint().height(), fontMetrics().height() * 28));
}

void FindingsDialog::showEvent(QShowEvent* event) {
    placeOnScreen(this);
    QDialog::showEvent(event);
}

void FindingsDialog::addHeading(const QString& text) {
    auto* item = new QTreeWidgetItem(ui->twHallazgos);
    item->setText(0, text);
    item->setFirstColumnSpanned(true);
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    item->setFlags(Qt::ItemIsEnabled);
}

void FindingsDialog::addRow(const Problem& p) {
    auto* item = new QTreeWidgetItem(ui->twHallazgos);
    const QString person = p.name.isEmpty() ? p.curp : p.curp + u'\n' + p.name;
    item->setText(0, pageText(p.page));
    item->setText(1, person);
    item->setText(2, p.what);
    item->setText(3, p.todo);
    for (int c = 1; c < 4; ++c)
        item->setToolTip(c, item->text(c));
}

void FindingsDialog::goToCurrent() {
    goTo(ui->twHallazgos->currentItem());
}

void FindingsDialog::goTo(QTreeWidgetItem* item) {
    if (!item || !item->data(0, ProblemRole).isValid())
        return;
    const Problem& p = problems_[item->data(0, ProblemRole).toInt()];
    choice_ = {FindingsChoice::Action::GoTo, p.page, p.curp};
    accept();
}
