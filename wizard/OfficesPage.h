#pragma once

#include "data/AgentStore.h"

#include <QWidget>
#include <memory>

namespace Ui {
class OfficesPage;
}
class AddressBlock;
class QComboBox;

// Page 2: the additional offices page 1 declares (up to three) and where the
// agent transmits for validation in each.
class OfficesPage : public QWidget {
    Q_OBJECT
public:
    explicit OfficesPage(QWidget* parent = nullptr);
    ~OfficesPage() override;

    void setDatabase(Database& db);
    // False once a list could not be read (the user has been told).
    bool fillLists();
    void showOffices(const StoredAgent& agent);
    // The validation addresses (types 4-6) of the chosen offices; false
    // after a failed read.
    bool loadValidationAddresses();
    // Offers the `count` offices page 1 declared; the others are emptied
    // and, on the page, disabled.
    void offer(int count);
    bool Verifica_Datos_AADirV(int count);
    QList<AdditionalOffice> offices(int count) const;

private:
    struct Office {
        QComboBox* names;
        QComboBox* keys;
        AddressBlock* block;
    };
    QList<Office> all() const;
    void clear(const Office& office);
    // The earlier of `offices` that names the same office as offices[i],
    // or -1: one office declared twice would be sent twice.
    static int firstWithSameOffice(const QList<Office>& offices, int i);

    std::unique_ptr<Ui::OfficesPage> ui;
    Database* db_ = nullptr;
};
