#pragma once

#include "data/AgentStore.h"
#include "exchange/SignedEnvio.h"

#include <QDateTime>
#include <QWidget>
#include <memory>

namespace Ui {
class AgentPage;
}
class AddressBlock;

// Page 1: the agent himself, his fiscal and notification addresses, his
// customs office and where he transmits for validation there.
class AgentPage : public QWidget {
    Q_OBJECT
public:
    explicit AgentPage(QWidget* parent = nullptr);
    ~AgentPage() override;

    void setDatabase(Database& db);
    // The office, state and municipality lists; false once one could not be
    // read (the user has been told).
    bool fillLists();
    // The stored identity, office and the two addresses of types 1 and 2.
    void showAgent(const StoredAgent& agent);
    void showAdditionalOffices(const QVariant& noAduanasAut);
    // The validation address (type 3) of the chosen office; false after a
    // failed read.
    bool loadValidationAddress();

    bool Valida_AA();
    // The page as the store takes it.
    AgentRecord record(const QVariant& sinHistorico) const;
    // After a save: the patent as stored ("0012" is kept as 12).
    void showSaved(const AgentRecord& agent);
    // One line on ENVIO's signed package: current, or to be generated again.
    void showEnvio(const EnvioPackage& package);
    int additionalOffices() const;
    QString patent() const;
    QString rfc() const;

private:
    void attachEntryRulesToFields();
    void setTabOrder();
    QList<AddressBlock*> blocks() const;

    std::unique_ptr<Ui::AgentPage> ui;
    Database* db_ = nullptr;
};
