#pragma once

#include "tests/support/X11Testing.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <optional>
#include <ostream>
#include <vector>

namespace Blinkwit::Testing {

// The stand-in portal of mock_portal.py on the test's private session bus, with its control
// interface: what it answers, which calls it saw.
class MockPortal {
public:
    struct Call {
        QString method;
        QString sender; // the caller's unique bus name
        QJsonArray args;
        QJsonValue arg(int index) const {
            return index < args.size() ? args.at(index) : QJsonValue();
        }
    };

    // Starts it and waits until it owns the portal's bus name; false when it did not start.
    bool start();
    void configure(const QJsonObject& settings);
    // Every call it received, oldest first.
    std::vector<Call> calls();
    std::vector<Call> callsOf(const QString& method);
    // The nth call of method; an empty one when there were fewer.
    Call call(const QString& method, std::size_t nth = 0);
    void activate(const QString& id, bool pressed);
    void closeSessions();

private:
    QJsonArray control(const QString& method, const QVariantList& arguments);

    std::optional<ChildProcess> process_;
};

} // namespace Blinkwit::Testing

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
