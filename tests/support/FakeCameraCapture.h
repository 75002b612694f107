#pragma once

#include "platform/CameraCapture.h"

#include <QPainter>
#include <QStringList>
#include <memory>

namespace vantrel::test {

// A camera that serves a test pattern: the left half red, the right half blue, as a camera that
// faces the user sees it. Every open, start and stop is written to `calls` in order.
class FakeCameraCapture final : public CameraCapture {
public:
    enum class Mode { working, noDevice, cannotOpenInput };

    static QImage testPattern(QSize size = QSize(160, 90)) {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        painter.fillRect(QRect(0, 0, size.width() / 2, size.height()), Qt::red);
        painter.fillRect(QRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height()),
                         Qt::blue);
        return image;
    }

    Opened openDefaultCamera(FrameHandler onFrame) override {
        calls.append(QStringLiteral("open"));
        if (mode == Mode::noDevice) return {nullptr, Failure::noDevice};
        if (mode == Mode::cannotOpenInput) return {nullptr, Failure::cannotOpenInput};
        lastHandler = onFrame;
        return {std::make_unique<Feed>(*this, std::move(onFrame)), Failure::noDevice};
    }

    // Sends `frame` to every running feed.
    void deliver(const QImage& frame) {
        if (running) running->onFrame_(frame);
    }

    // The frame handler of the last camera opened, to send it pictures late, as a media pipeline
    // may after a stop.
    FrameHandler lastHandler;
    Mode mode = Mode::working;
    QSize frameSize{160, 90};
    QStringList calls;

private:
    class Feed final : public CameraFeed {
    public:
        Feed(FakeCameraCapture& owner, FrameHandler onFrame) : owner_(owner), onFrame_(std::move(onFrame)) {}
        ~Feed() override {
            if (owner_.running == this) owner_.running = nullptr;
            owner_.calls.append(QStringLiteral("release"));
        }
        QString deviceName() const override { return QStringLiteral("Test Pattern Camera"); }
        void start() override {
            owner_.calls.append(QStringLiteral("start"));
            owner_.running = this;
            if (onFrame_) onFrame_(testPattern(owner_.frameSize));
        }
        void stop() override {
            owner_.calls.append(QStringLiteral("stop"));
            if (owner_.running == this) owner_.running = nullptr;
        }

        FakeCameraCapture& owner_;
        FrameHandler onFrame_;
        friend class FakeCameraCapture;
    };

    Feed* running = nullptr;
};

} // namespace vantrel::test
