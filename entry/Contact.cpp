#include "entry/Contact.h"

#include <QFile>

Contact Contact::read(const QString& file) {
    Contact c;
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return c;
    const QList<std::pair<const char*, QString*>> keys{{"Persona", &c.person},
                                                       {"Telefono", &c.phone},
                                                       {"Correo", &c.mail},
                                                       {"CorreoAutoridad", &c.authorityMail}};
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (line.startsWith(u';') || line.startsWith(u'#') || eq < 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        for (const auto& [name, field] : keys)
            if (key == QLatin1String(name) && !value.isEmpty())
                *field = value;
    }
    return c;
}
