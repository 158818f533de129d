#pragma once

#include <QString>

// Who answers the agents' questions, and where the signed file goes. They
// are the distributor's to set, in a small file installed beside the
// template database, which an installer or administrator may replace. The
// program ships values that say plainly they are still to be set.
struct Contact {
    static constexpr const char* SystemName = "Sistema de Registro de Mandatarios y Representantes";
    static constexpr const char* FileName = "contacto.ini";

    QString person = QStringLiteral("Contacto por definir (lo indica quien distribuye KESTRO)");
    QString phone = QStringLiteral("por definir");
    QString mail = QStringLiteral("por definir");
    // Where the agent sends the signed file and the requirements.
    QString authorityMail =
        QStringLiteral("la dirección de correo que indique la autoridad (por definir)");

    // The values of a file of "Clave=valor" lines (Persona, Telefono, Correo,
    // CorreoAutoridad; UTF-8; lines starting with ";" or "#" are comments).
    // What the file lacks, or a missing file, keeps the values above.
    static Contact read(const QString& file);
};
