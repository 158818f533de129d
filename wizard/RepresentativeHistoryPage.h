#pragma once

#include "data/Database.h"

#include <QWidget>
#include <memory>

namespace Ui {
class RepresentativeHistoryPage;
}

// Page 5: the periods in which the agent's representatives worked for
// earlier agents, and their declarations that they had none.
class RepresentativeHistoryPage : public QWidget {
    Q_OBJECT
public:
    explicit RepresentativeHistoryPage(QWidget* parent = nullptr);
    ~RepresentativeHistoryPage() override;

    void setDatabase(Database& db) { db_ = &db; }

    MaybeError Llena_Hist_Mandatarios();
    // The list is read when first needed, not at start-up: this only sees
    // that it can be read, and leaves it waiting.
    MaybeError deferList();
    // Reads a waiting list now; a failed read is told here, once.
    void fillDeferredList();
    MaybeError Llena_Periodos_H_MM(const QString& curp);
    bool Verifica_Datos_p4();

    void cmdMandNuevo_Click();
    void cmdMandBorrar_Click();
    void cmdSinHistMM_Click();

private:
    void fgMandatarios_RowChosen();
    void showRepresentativeAgain(const QString& curp);

    std::unique_ptr<Ui::RepresentativeHistoryPage> ui;
    Database* db_ = nullptr;
    bool listDeferred_ = false;
    QString periodsCurp_; // the representative whose periods are shown
    // The list marks, beside the text it shows, a representative whose
    // history flag is still undefined.
    static constexpr int HistoryUndefinedRole = Qt::UserRole + 1;
};
