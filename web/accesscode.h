#pragma once

#include <QByteArray>
#include <QString>

// The personal codes pupils sign in with: 12 characters from an alphabet without the look-alikes
// 0/O, 1/l/I (31 characters, so 59 bits), drawn from the system's cryptographic random source
// and shown in groups of four, "ABCD-EFGH-JKMN".
inline constexpr int kCodeLength = 12;

// A new code, grouped.
QString NewAccessCode();

// A code as typed: blanks, tabs and hyphens removed, letters in capitals.
QString NormaliseAccessCode(const QString &typed);

// A random token of `bytes` random bytes, base64url without padding.
QByteArray RandomToken(int bytes);

// Compares two byte strings in a time that depends only on their lengths.
bool ConstantTimeEquals(const QByteArray &a, const QByteArray &b);
