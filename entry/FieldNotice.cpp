#include "entry/FieldNotice.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QToolTip>

namespace {

const char* const NoticeName = "avisoCampo";
constexpr int ShownFor = 6000; // ms: long enough to read, gone before it clutters

// The notice goes when the field loses the focus: it speaks of that field.
class HideOnLeave : public QObject {
public:
    HideOnLeave(QWidget* field, QLabel* notice) : QObject(notice), notice_(notice) {
        field->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::FocusOut || event->type() == QEvent::Hide)
            notice_->hide();
        return false;
    }

private:
    QLabel* notice_;
};

QLabel* noticeOf(QWidget* field) {
    if (auto* notice = field->findChild<QLabel*>(NoticeName, Qt::FindDirectChildrenOnly))
        return notice;
    auto* notice = new QLabel(field, Qt::ToolTip | Qt::FramelessWindowHint);
    notice->setObjectName(NoticeName);
    notice->setAttribute(Qt::WA_ShowWithoutActivating);
    notice->setPalette(QToolTip::palette());
    notice->setFont(QToolTip::font());
    notice->setAutoFillBackground(true);
    notice->setFrameShape(QFrame::Box);
    notice->setMargin(3);
    auto* timer = new QTimer(notice);
    timer->setObjectName(QStringLiteral("ocultar"));
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, notice, &QWidget::hide);
    new HideOnLeave(field, notice);
    return notice;
}

} // namespace

void tellBeside(QWidget* field, const QString& text) {
    QLabel* notice = noticeOf(field);
    notice->setText(text);
    notice->adjustSize();
    notice->move(field->mapToGlobal(QPoint(0, field->height())));
    notice->show();
    notice->findChild<QTimer*>(QStringLiteral("ocultar"))->start(ShownFor);
}
