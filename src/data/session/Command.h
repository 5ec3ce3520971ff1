#pragma once
#include "data/session/ResultSet.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace nbk::data {

class Connection;

// ADO data types the client names.
namespace adtype {
constexpr int Integer = 3;     // adInteger
constexpr int Double = 5;      // adDouble
constexpr int Date = 7;        // adDate
constexpr int Numeric = 131;   // adNumeric
constexpr int VarChar = 200;   // adVarChar
}  // namespace adtype
constexpr int adCmdText = 1;
constexpr int adParamInput = 1;

struct Parameter {
    QString name;
    int type = adtype::VarChar;
    int direction = adParamInput;
    int size = 0;
    QVariant value;
};

// A command with positional '?' parameters, run on its active connection.
class Command {
public:
    void setActiveConnection(Connection *c) { connection_ = c; }
    Connection *activeConnection() const { return connection_; }
    void setCommandType(int t) { type_ = t; }
    int commandType() const { return type_; }
    void setCommandText(const QString &text) { text_ = text; }
    const QString &commandText() const { return text_; }

    QList<Parameter> &parameters() { return params_; }
    const QList<Parameter> &parameters() const { return params_; }
    Parameter &parameter(int i) { return params_[i]; }
    void appendParameter(const QString &name, int type, int size);
    void clearParameters() { params_.clear(); }
    void setValue(int i, const QVariant &v) { params_[i].value = v; }

    // Runs the command: the rows for a query, an empty closed set otherwise.
    // Throws DbException (also recorded in the connection's errors()).
    ResultSet execute();

private:
    Connection *connection_ = nullptr;
    int type_ = adCmdText;
    QString text_;
    QList<Parameter> params_;
};

}  // namespace nbk::data
