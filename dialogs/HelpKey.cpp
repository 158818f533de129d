#include "dialogs/HelpKey.h"

#include "dialogs/ManualWindow.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

class HelpKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->key() != Qt::Key_F1 || key->modifiers() != Qt::NoModifier || !widget)
            return false;
        if (!key->isAutoRepeat())
            ManualWindow::openAt(widget, helpSection(widget));
        return true;
    }
};

} // namespace

const QHash<QString, QString>& helpSections() {
    static const QHash<QString, QString> sections{
        {QStringLiteral("frmMain"), QStringLiteral("cómo-se-usa")},
        {QStringLiteral("frmInicio"), QStringLiteral("cómo-se-usa")},
        {QStringLiteral("pageAgent"), QStringLiteral("página-1-datos-del-agente-aduanal")},
        {QStringLiteral("pageOffices"), QStringLiteral("página-2-aduanas-adicionales")},
        {QStringLiteral("pageRepresentatives"), QStringLiteral("página-3-representantes")},
        {QStringLiteral("pageAgentHistory"), QStringLiteral("página-4-histórico-del-agente")},
        {QStringLiteral("pageRepresentativeHistory"),
         QStringLiteral("página-5-histórico-de-los-representantes")},
        {QStringLiteral("FindingsDialog"), QStringLiteral("la-revisión-antes-de-la-llave")},
        {QStringLiteral("frmKey"), QStringLiteral("la-llave-y-la-contraseña")},
        {QStringLiteral("frmDudas"), QStringLiteral("dudas-o-comentarios")},
        {QStringLiteral("frmAgentes"), QStringLiteral("varios-agentes-en-una-computadora")},
    };
    return sections;
}

QString helpSection(const QWidget* widget) {
    for (; widget; widget = widget->parentWidget())
        if (const auto s = helpSections().constFind(widget->objectName());
            s != helpSections().constEnd())
            return *s;
    return QString();
}

void installHelpKey(QCoreApplication& app) {
    app.installEventFilter(new HelpKey(&app));
}
