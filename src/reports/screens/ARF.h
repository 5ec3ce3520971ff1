#pragma once
#include "reports/screens/ValueRequest.h"

// Lists the passengers of the run of a vehicle involved in an accident.
class ARF : public ValueRequest {
    Q_OBJECT
public:
    explicit ARF(QWidget *parent = nullptr);

private:
    void request(const QString &value) override;
};
