#pragma once
#include "reports/screens/ValueRequest.h"

// Asks for a run number and shows the conductor's manifest of that run.
class Manifest : public ValueRequest {
    Q_OBJECT
public:
    explicit Manifest(QWidget *parent = nullptr);

private:
    void request(const QString &value) override;
};
