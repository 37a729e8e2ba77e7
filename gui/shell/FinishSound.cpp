#include "gui/shell/FinishSound.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMetaObject>
#include <QUrl>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>
#ifdef HELIARC_HAVE_QTMULTIMEDIA
#include <QSoundEffect>
#endif

#include "core/platform/AtomicReplace.h"
#include "core/platform/Path.h"

void CFinishSound::Play() {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return;
    QMetaObject::invokeMethod(app, [] {
        const QFileInfo file(QString::fromLatin1(kFileName));
        if (!file.exists()) return;
#ifdef HELIARC_HAVE_QTMULTIMEDIA
        static QSoundEffect* effect = nullptr;
        if (!effect) effect = new QSoundEffect(QCoreApplication::instance());
        effect->setSource(QUrl::fromLocalFile(file.absoluteFilePath()));
        effect->play();
#endif
    }, Qt::QueuedConnection);
}

bool CFinishSound::WriteChime(const std::string& path) {
    constexpr int kRate = 22050;
    constexpr double kPi = 3.14159265358979323846;
    const int n = kRate * 45 / 100;
    std::vector<int16_t> samples(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / kRate;
        // Two notes a fifth apart, the second entering after 120 ms, each fading out.
        double v = 0.45 * std::sin(2 * kPi * 880 * t) * std::exp(-t * 9);
        if (t > 0.12) v += 0.45 * std::sin(2 * kPi * 1320 * (t - 0.12)) * std::exp(-(t - 0.12) * 8);
        const double attack = std::min(1.0, t / 0.004);
        samples[static_cast<std::size_t>(i)] = static_cast<int16_t>(std::lround(v * attack * 32767 * 0.8));
    }
    std::string out;
    auto le32 = [&out](uint32_t v) {
        for (int k = 0; k < 4; ++k) out.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
    };
    auto le16 = [&out](uint16_t v) {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>(v >> 8));
    };
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    out += "RIFF";
    le32(36 + dataBytes);
    out += "WAVEfmt ";
    le32(16);
    le16(1);  // PCM
    le16(1);  // mono
    le32(kRate);
    le32(kRate * 2);
    le16(2);
    le16(16);
    out += "data";
    le32(dataBytes);
    for (int16_t s : samples) le16(static_cast<uint16_t>(s));
    return platform::ReplaceFile(platform::MapPath(path), platform::kSoundTag, out);
}
