#pragma once

#include "data/Database.h"
#include "entry/EditMode.h"

#include <QWidget>
#include <memory>

namespace Ui {
class RepresentativesPage;
}

// Page 3: the agent's representatives, the details of the one chosen, and
// the buttons that add, edit and delete them.
class RepresentativesPage : public QWidget {
    Q_OBJECT
public:
    explicit RepresentativesPage(QWidget* parent = nullptr);
    ~RepresentativesPage() override;

    void setDatabase(Database& db);
    // False once a list could not be read (the user has been told).
    bool fillLists();

    MaybeError Llena_Mandatarios();
    // The list is read when first needed, not at start-up: this only sees
    // that it can be read, and leaves it waiting.
    MaybeError deferList();
    // Reads a waiting list now; a failed read is told here, once.
    void fillDeferredList();
    bool Verifica_Datos_p2();

    // The chosen representative's addresses, type, requirement,
    // accreditation, offices and declarations.
    void Muestra_Mandatario();
    void Llena_Aduanas_MM(const QString& curp);
    void Llena_Pedimentos_MM(const QString& curp);
    // The accreditation shows for a type-2 (2.13.11) representative only.
    void Llena_Requerimiento_Mand(const QString& curp, int mandato);
    void cmdNuevo_Click();
    void cmdEditar_Click();
    void cmdBorrar_Click();

Q_SIGNALS:
    // A representative was saved or deleted. `ruleType`: one of the 2.13.11
    // type was saved, which brings in the history pages.
    void representativesChanged(bool ruleType);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setUpLists();
    void takeFreeRoom();
    void layOutDetails();
    void openRepresentativeEditor(EditMode mode);
    void reloadRepresentatives(const QString& currentCurp);
    void hideRepresentativeDetails();
    QString curpAt(int row) const;

    std::unique_ptr<Ui::RepresentativesPage> ui;
    Database* db_ = nullptr;
    bool listDeferred_ = false;
    // The list keeps each representative's type code beside its label.
    static constexpr int MandatoRole = Qt::UserRole + 2;
};
