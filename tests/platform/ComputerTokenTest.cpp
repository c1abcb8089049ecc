#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include "platform/ComputerToken.h"

using namespace orvalis;

namespace {

ComputerToken::IdentitySource Fixed(const char* id) {
  return [id](QByteArray* out, QString*) {
    *out = id;
    return true;
  };
}

ComputerToken::IdentitySource Failing(const char* why) {
  return [why](QByteArray*, QString* error) {
    *error = QString::fromUtf8(why);
    return false;
  };
}

const QRegularExpression kTokenForm(QStringLiteral("^[0-9A-F]{40}$"));

TEST(ComputerToken, DigestOfUserThenMachine) {
  struct Case {
    const char* user;
    const char* machine;
    const char* text;
  };
  const Case cases[] = {
      {"1000:maria", "{3D1219C7-C4C5-404A-AA1F-6D2A48ADFDA4}", "89EA9AC38F28E9C5FF8F78483DE0E15B6259E2E0"},
      {"S-1-5-21-1004336348-1177238915-682003330-512", "{846ee340-7039-11de-9d20-806e6f6e6963}",
       "67BDB31B569D4E9A1CD547BEA484009A8427B6A7"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.user);
    const auto r = ComputerToken(Fixed(c.user), Fixed(c.machine)).compute();
    ASSERT_TRUE(r.ok()) << r.error.toStdString();
    EXPECT_EQ(r.text.toStdString(), c.text);
    EXPECT_EQ(ComputerToken::TextOf(r.digest), r.text);
    // The digest bytes are the text read two hex digits at a time.
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(r.digest.data()), 20).toHex().toUpper(), r.text.toLatin1());
  }
}

TEST(ComputerToken, UnreadableIdentityGivesAnErrorAndNoToken) {
  const auto noUser = ComputerToken(Failing("sem conta"), Fixed("{X}")).compute();
  EXPECT_FALSE(noUser.ok());
  EXPECT_TRUE(noUser.error.contains(QStringLiteral("sem conta")));
  EXPECT_TRUE(noUser.error.contains(QStringLiteral("usuário")));
  EXPECT_TRUE(noUser.text.isEmpty());
  EXPECT_EQ(noUser.digest, TokenDigest{});

  const auto noMachine = ComputerToken(Fixed("1000:maria"), Failing("sem id")).compute();
  EXPECT_FALSE(noMachine.ok());
  EXPECT_TRUE(noMachine.error.contains(QStringLiteral("computador")));
  EXPECT_TRUE(noMachine.text.isEmpty());
}

TEST(ComputerToken, MachineIdInBracesGuidForm) {
  struct Case {
    QByteArray raw;
    const char* guid;  // nullptr: refused
  };
  const Case cases[] = {
      {"3d1219c7c4c5404aaa1f6d2a48adfda4\n", "{3D1219C7-C4C5-404A-AA1F-6D2A48ADFDA4}"},
      {"  3D1219C7C4C5404AAA1F6D2A48ADFDA4  ", "{3D1219C7-C4C5-404A-AA1F-6D2A48ADFDA4}"},
      {"3d1219c7c4c5404aaa1f6d2a48adfda", nullptr},    // 31 digits
      {"3d1219c7c4c5404aaa1f6d2a48adfda44", nullptr},  // 33 digits
      {"3d1219c7-c4c5-404a-aa1f-6d2a48adfd", nullptr},
      {"3g1219c7c4c5404aaa1f6d2a48adfda4", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw.toStdString());
    const auto g = ComputerToken::MachineIdAsGuid(c.raw);
    ASSERT_EQ(g.has_value(), c.guid != nullptr);
    if (g) {
      EXPECT_EQ(g->toStdString(), c.guid);
    }
  }
}

#ifndef _WIN32
TEST(ComputerToken, MachineIdFileFallbackAndFailure) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString bad = dir.filePath("bad"), good = dir.filePath("good"), missing = dir.filePath("missing");
  QFile b(bad), g(good);
  ASSERT_TRUE(b.open(QIODevice::WriteOnly) && g.open(QIODevice::WriteOnly));
  b.write("uninitialized\n");
  g.write("0123456789abcdef0123456789abcdef\n");
  b.close();
  g.close();

  QByteArray id;
  QString error;
  ASSERT_TRUE(ComputerToken::ReadMachineIdentity(&id, &error, {missing, bad, good}));
  EXPECT_EQ(id, "{01234567-89AB-CDEF-0123-456789ABCDEF}");

  EXPECT_FALSE(ComputerToken::ReadMachineIdentity(&id, &error, {missing, bad}));
  EXPECT_TRUE(error.contains(bad)) << error.toStdString();
  EXPECT_FALSE(ComputerToken::ReadMachineIdentity(&id, &error, {missing}));
  EXPECT_TRUE(error.contains(missing)) << error.toStdString();
}

TEST(ComputerToken, UserIdentityIsUidAndAccountName) {
  QByteArray id;
  QString error;
  ASSERT_TRUE(ComputerToken::ReadUserIdentity(&id, &error)) << error.toStdString();
  const passwd* pw = getpwuid(geteuid());
  ASSERT_NE(pw, nullptr);
  EXPECT_EQ(id, QByteArray::number(geteuid()) + ":" + pw->pw_name);
}
#endif

TEST(ComputerToken, ThisComputerGivesTheSameTokenEveryTime) {
  const auto first = ComputerToken().compute();
  if (!first.ok()) GTEST_SKIP() << "no identity on this machine: " << first.error.toStdString();
  EXPECT_TRUE(kTokenForm.match(first.text).hasMatch()) << first.text.toStdString();
  const auto again = ComputerToken().compute();
  EXPECT_EQ(again.text, first.text);
  EXPECT_EQ(again.digest, first.digest);
}

}  // namespace
