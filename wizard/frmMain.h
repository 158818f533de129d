#pragma once

#include "data/Database.h"
#include "entry/AppState.h"
#include "exchange/PreKeyCheck.h"
#include "exchange/SignedEnvio.h"

#include <QSet>
#include <QWidget>
#include <functional>
#include <memory>

namespace Ui {
class frmMain;
}

// The main window: the five wizard pages, one shown at a time, and the
// button row that moves between them.
class frmMain : public QWidget {
    Q_OBJECT
public:
    explicit frmMain(AppState& state, QWidget* parent = nullptr);
    ~frmMain() override;

    // Start-up: the start dialog, the database (a damaged one may be
    // replaced by its newest sound copy; the day's copy is taken), the import
    // of the previous version, the lists, the schema upgrade and the stored
    // data. False when
    // the program cannot work (the user has been told why).
    // chooseAgent, when several agents are known, runs as soon as the start
    // dialog closes and sets the data folder; false ends the program.
    bool startUp(const std::function<bool()>& chooseAgent = {});

    // Start-up steps.
    void Inicializa_0();
    void Inicializa_Combos();
    void Inicializa_datos();

    // Right after the window's first paint: a generation cut short (the
    // program killed, a file that could not go back) is put right in ENVIO,
    // then the line is drawn.
    void settleEnvio();

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
    void paintEvent(QPaintEvent* event) override;

private:
    void importPreviousVersion();
    // With several agents, the caption names the one this window works on.
    void showAgentInCaption();
    void installWizardKeys();
    QWidget* messageParent();
    void showPage(int page);
    // Page 1's line on the signed package in ENVIO, when page 1 shows.
    void showEnvioLine();
    // A page's list still waiting since start-up is read now.
    void fillDeferredList(int page);
    // Where a finding of the check before the key leads: the page, with
    // its buttons as arriving there by Siguiente, and the person chosen.
    void goToPerson(WizardPage page, const QString& curp);
    // After an import, what in the imported data would refuse the file.
    void checkImported();
    void forwardFromPage1();
    void forwardFromPage2();
    void forwardFromPages3to5();
    void showBeforeHistory(int page);
    void finishWizard();
    void lockPagesForReading();
    void showEnded();
    void openOrTell(const QString& path);
    // Shows the history pages' lists again after page 3 changed.
    void representativesChanged(bool ruleType);
    // The "next" button: a caption that moves on, or "Finaliza", which
    // generates the file. Which one is kept here, never read from the caption.
    void showNext(const QString& caption);
    void showFinish();
    bool loadingStopped(const MaybeError& e);
    void watchTyping(QWidget* page, int number);
    QString unsavedQuestion() const;
    EnvioPackage envioPackage() const;

    std::unique_ptr<Ui::frmMain> ui;
    AppState& state_;
    std::unique_ptr<Database> db_;
    int page_ = 1;
    QSize sizeBeforePage3_;  // the window's own size, before page 3 grew it
    QSet<int> unsavedPages_; // pages 1 and 2 save on "Siguiente >"
    bool placed_ = false;
    bool painted_ = false;
    bool nextFinishes_ = false;
    bool imported_ = false; // this start took over the previous version's data
};
