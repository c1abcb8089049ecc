#include "platform/ComputerToken.h"

#include <QCryptographicHash>
#include <QFile>
#include <algorithm>

#ifdef Q_OS_WIN
// windows.h must come before sddl.h.
// clang-format off
#include <windows.h>
#include <sddl.h>
// clang-format on
#else
#include <pwd.h>
#include <unistd.h>

#include <vector>
#endif

namespace orvalis {

ComputerToken::ComputerToken()
    : user_(&ComputerToken::ReadUserIdentity),
      machine_([](QByteArray* id, QString* error) { return ReadMachineIdentity(id, error); }) {}

ComputerToken::ComputerToken(IdentitySource user, IdentitySource machine)
    : user_(std::move(user)), machine_(std::move(machine)) {}

ComputerToken::Result ComputerToken::compute() const {
  QByteArray user;
  QByteArray machine;
  QString error;
  Result failed;
  if (!user_ || !user_(&user, &error)) {
    failed.error = QStringLiteral("Identidade do usuário indisponível: %1").arg(error);
    return failed;
  }
  if (!machine_ || !machine_(&machine, &error)) {
    failed.error = QStringLiteral("Identidade do computador indisponível: %1").arg(error);
    return failed;
  }
  return FromIdentities(user, machine);
}

ComputerToken::Result ComputerToken::FromIdentities(const QByteArray& user, const QByteArray& machine) {
  Result r;
  const QByteArray sha = QCryptographicHash::hash(user + machine, QCryptographicHash::Sha1);
  std::copy_n(reinterpret_cast<const std::uint8_t*>(sha.constData()), r.digest.size(), r.digest.begin());
  r.text = TextOf(r.digest);
  return r;
}

QString ComputerToken::TextOf(const TokenDigest& digest) {
  return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest.data()), static_cast<qsizetype>(digest.size())).toHex().toUpper());
}

std::optional<QByteArray> ComputerToken::MachineIdAsGuid(const QByteArray& raw) {
  const QByteArray hex = raw.trimmed().toUpper();
  if (hex.size() != 32 ||
      !std::all_of(hex.begin(), hex.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }))
    return std::nullopt;
  return "{" + hex.mid(0, 8) + "-" + hex.mid(8, 4) + "-" + hex.mid(12, 4) + "-" + hex.mid(16, 4) + "-" +
         hex.mid(20, 12) + "}";
}

#ifdef Q_OS_WIN

bool ComputerToken::ReadUserIdentity(QByteArray* identity, QString* error) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    if (error) *error = QStringLiteral("OpenProcessToken falhou (%1)").arg(GetLastError());
    return false;
  }
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  QByteArray buf(static_cast<qsizetype>(size), '\0');
  char* sidText = nullptr;
  const bool ok = size > 0 && GetTokenInformation(token, TokenUser, buf.data(), size, &size) &&
                  ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(buf.data())->User.Sid, &sidText);
  const DWORD code = GetLastError();
  CloseHandle(token);
  if (!ok) {
    if (error) *error = QStringLiteral("SID do usuário ilegível (%1)").arg(code);
    return false;
  }
  *identity = QByteArray(sidText);
  LocalFree(sidText);
  return true;
}

bool ComputerToken::ReadMachineIdentity(QByteArray* identity, QString* error, const QStringList&) {
  HW_PROFILE_INFOA info{};
  if (!GetCurrentHwProfileA(&info)) {
    if (error) *error = QStringLiteral("perfil de hardware ilegível (%1)").arg(GetLastError());
    return false;
  }
  *identity = QByteArray(info.szHwProfileGuid);
  return true;
}

#else

bool ComputerToken::ReadUserIdentity(QByteArray* identity, QString* error) {
  const uid_t uid = geteuid();
  long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buf(static_cast<std::size_t>(hint > 0 ? hint : 16384));
  passwd pw{};
  passwd* found = nullptr;
  const int rc = getpwuid_r(uid, &pw, buf.data(), buf.size(), &found);
  if (rc != 0 || !found || !found->pw_name || !*found->pw_name) {
    if (error) *error = QStringLiteral("conta do uid %1 não encontrada").arg(uid);
    return false;
  }
  *identity = QByteArray::number(static_cast<qulonglong>(uid)) + ':' + QByteArray(found->pw_name);
  return true;
}

bool ComputerToken::ReadMachineIdentity(QByteArray* identity, QString* error, const QStringList& files) {
  QString reason = QStringLiteral("nenhum arquivo de identidade");
  for (const QString& path : files) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
      reason = QStringLiteral("%1: %2").arg(path, f.errorString());
      continue;
    }
    if (const auto guid = MachineIdAsGuid(f.read(256))) {
      *identity = *guid;
      return true;
    }
    reason = QStringLiteral("%1: conteúdo inválido").arg(path);
  }
  if (error) *error = reason;
  return false;
}

#endif

}  // namespace orvalis
