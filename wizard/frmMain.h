#pragma once

#include "data/Database.h"
#include "entry/AppState.h"
#include "entry/EditMode.h"

#include <QSet>
#include <QWidget>
#include <memory>
#include <optional>

namespace Ui {
class frmMain;
}
class AddressBlock;
class QComboBox;
class QTableWidget;

// The main window: the five wizard pages and the button row.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(AppState& state, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: the start dialog, the database, the import of the previous
    // version, the lists, the schema upgrade and the stored data. False when
    // the program cannot work (the user has been told why).
    bool startUp();

    // Start-up steps.
    void Inicializa_0();
    void Inicializa_Combos();
    void Inicializa_datos();

    // Page checks; each shows its own message.
    bool Valida_AA();
    bool Verifica_Datos_AADirV();
    bool Verifica_Datos_p2();
    bool Verifica_Datos_p3();
    bool Verifica_Datos_p4();

    // List fillers of pages 3 to 5.
    MaybeError Llena_Mandatarios();
    MaybeError Llena_Hist_AA();
    MaybeError Llena_Hist_Mandatarios();

    // Page 3: the chosen representative's addresses, type, requirement,
    // accreditation, offices and declarations.
    void Muestra_Mandatario();
    void Llena_Aduanas_MM(const QString& curp);
    void Llena_Pedimentos_MM(const QString& curp);
    // The accreditation shows for a type-2 (2.13.11) representative only.
    void Llena_Requerimiento_Mand(const QString& curp, int mandato);
    void cmdNuevo_Click();
    void cmdEditar_Click();
    void cmdBorrar_Click();

    // Writes and signs the information file; true when it was signed.
    bool Genera_archivo();

public Q_SLOTS:
    void cmdSiguiente_Click();
    void cmdAtras_Click();
    void cmdSalir_Click();
    void cmdDudas_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildAddressBlocks();
    void importPreviousVersion();
    void attachEntryRulesToFields();
    void setTabOrderPage1();
    void setTabOrderPage2();
    void connectRepresentativeList();
    void openRepresentativeEditor(EditMode mode);
    void reloadRepresentatives(const QString& currentCurp);
    void hideRepresentativeDetails();
    void installWizardKeys();
    QWidget* messageParent();
    void showPage(int page);
    void forwardFromPage1();
    void forwardFromPage2();
    void forwardFromPages3to5();
    void finishWizard();
    // The "next" button: a caption that moves on, or "Finaliza", which
    // generates the file. Which one is kept here, never read from the caption.
    void showNext(const QString& caption);
    void showFinish();
    void clearOffice(QComboBox* office, AddressBlock& block);
    void setOfficeEnabled(QComboBox* office, AddressBlock& block, bool enabled);
    int additionalOffices() const;
    QList<AddressBlock*> agentBlocks() const;
    bool loadingStopped(const MaybeError& e);
    // Shows the agent's history flag (Null, 0 or 1) and keeps it for the
    // next save of page 1.
    void showAgentHistory(const QVariant& sinHistorico);
    void watchTyping(QWidget* page, int number);
    void layOutRepresentativeDetails();

    // Pages 4 and 5: the agent's earlier representatives and the
    // representatives' earlier agents (frmMainHistory.cpp).
public:
    MaybeError Llena_Periodos_Hist_AA(const QString& key);
    MaybeError Llena_Periodos_H_MM(const QString& curp);
    void cmdAANuevo_Click();
    void cmdAAEditar_Click();
    void cmdAABorrar_Click();
    void cmdSinHistAA_Click();
    void cmdMandNuevo_Click();
    void cmdMandBorrar_Click();
    void cmdSinHistMM_Click();

private:
    void connectHistoryPages();
    void fgDatosAA_RowChosen();
    void fgMandatarios_RowChosen();
    void openHistoricAgentEditor(EditMode mode);
    // No representative CURP: the agent declares he had no representatives.
    void openNoHistoryDialog(const QString& sentence,
                             const std::optional<QString>& representativeCurp);
    QString historicRowKey(int row) const;
    void showRepresentativeAgain(const QString& curp);
    QString periodsCurp_; // the representative whose periods page 5 shows

    std::unique_ptr<Ui::frmMain> ui;
    AppState& state_;
    std::unique_ptr<Database> db_;
    int page_ = 1;
    QSet<int> unsavedPages_; // pages 1 and 2 save on "Siguiente >"
    bool placed_ = false;
    bool nextFinishes_ = false;
    // Page 5's list marks, beside the text it shows, a representative whose
    // history flag is still undefined.
    static constexpr int HistoryUndefinedRole = Qt::UserRole + 1;
    // Page 3's list keeps each representative's type code beside its label.
    static constexpr int MandatoRole = Qt::UserRole + 2;
    QVariant agentSinHistorico_; // the agent's history flag as stored: Null, 0 or 1
};
