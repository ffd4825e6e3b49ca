#pragma once

#include <QJsonObject>
#include <QString>

// The running instance's answer to one command: what the client prints on
// stdout and stderr, and its exit code.
struct InstanceReply
{
    int exitCode = 0;
    QString out;
    QString err;

    QJsonObject toJson() const;
    // Anything malformed reads as a failure with an explanatory `err`.
    static InstanceReply fromJson(const QJsonObject &json);
};
