// The computer's login identity: SHA-1 of the user's identity followed by the machine's identity.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

#include "link/ControllerLogin.h"

namespace orvalis {

class ComputerToken {
 public:
  // Reads one identity string; false with a readable reason when it cannot.
  using IdentitySource = std::function<bool(QByteArray* identity, QString* error)>;

  struct Result {
    TokenDigest digest{};  // sent in the login message
    QString text;          // 40 upper-case hex characters for MaskEdit1
    QString error;         // set when an identity could not be read; digest and text are then empty
    bool ok() const { return error.isEmpty(); }
  };

  // The identities of this process's user and of this computer.
  ComputerToken();
  ComputerToken(IdentitySource user, IdentitySource machine);

  Result compute() const;

  // SHA-1 of user followed by machine, no separator.
  static Result FromIdentities(const QByteArray& user, const QByteArray& machine);
  static QString TextOf(const TokenDigest& digest);

  // Linux: "<uid>:<name>" of the effective user (e.g. "1000:maria").
  // Windows: the string form of the user's SID ("S-1-5-...").
  static bool ReadUserIdentity(QByteArray* identity, QString* error);
  // Linux: the machine id in braces GUID form, "{8-4-4-4-12}" upper case, from the first file that
  // holds one. Windows: the GUID of the current hardware profile as the system gives it.
  static bool ReadMachineIdentity(QByteArray* identity, QString* error,
                                  const QStringList& files = {QStringLiteral("/etc/machine-id"),
                                                              QStringLiteral("/var/lib/dbus/machine-id")});
  // 32 hex digits (blanks around allowed) -> "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
  static std::optional<QByteArray> MachineIdAsGuid(const QByteArray& raw);

 private:
  IdentitySource user_;
  IdentitySource machine_;
};

}  // namespace orvalis
