#pragma once

#include "data/Database.h"
#include "entry/EditMode.h"

#include <QVariant>
#include <QWidget>
#include <memory>

namespace Ui {
class AgentHistoryPage;
}

// Page 4: the agent's earlier representatives with their periods, and his
// declaration that he had none.
class AgentHistoryPage : public QWidget {
    Q_OBJECT
public:
    explicit AgentHistoryPage(QWidget* parent = nullptr);
    ~AgentHistoryPage() override;

    void setDatabase(Database& db) { db_ = &db; }

    MaybeError Llena_Hist_AA();
    // The list is read when first needed, not at start-up: this only sees
    // that it can be read, and leaves it waiting.
    MaybeError deferList();
    // Reads a waiting list now; a failed read is told here, once.
    void fillDeferredList();
    MaybeError Llena_Periodos_Hist_AA(const QString& key);
    // Shows the agent's history flag (Null, 0 or 1) and keeps it for the
    // next save of page 1.
    void showAgentHistory(const QVariant& sinHistorico);
    // The flag as stored: Null, 0 or 1.
    QVariant agentSinHistorico() const { return agentSinHistorico_; }
    bool Verifica_Datos_p3();

    void cmdAANuevo_Click();
    void cmdAAEditar_Click();
    void cmdAABorrar_Click();
    void cmdSinHistAA_Click();

private:
    void fgDatosAA_RowChosen();
    void openHistoricAgentEditor(EditMode mode);
    QString historicRowKey(int row) const;
    MaybeError fillHistoricAgents();

    std::unique_ptr<Ui::AgentHistoryPage> ui;
    Database* db_ = nullptr;
    bool listDeferred_ = false;
    QVariant agentSinHistorico_;
};
