#pragma once
// Handles the program names its controls by. A handle holds only the
// control's place in the form; the state lives in the running run time.
#include <cstdint>

namespace runtime {

class MainWindow {
public:
    int width() const;           // outer size
    int height() const;
    int clientWidth() const;
    int clientHeight() const;
    intptr_t handle() const;     // the system handle
};

class Timer {
public:
    constexpr explicit Timer(int index) : index_(index) {}
    int period() const;
    void setPeriod(int ms) const;
    int index() const { return index_; }

private:
    int index_;
};

class MenuItem {
public:
    constexpr explicit MenuItem(int index) : index_(index) {}
    bool checked() const;
    void setChecked(bool checked) const;
    int index() const { return index_; }

private:
    int index_;
};

class SpriteTemplate {
public:
    constexpr explicit SpriteTemplate(int index) : index_(index) {}
    int zoom() const;
    void setZoom(int zoom) const;
    int index() const { return index_; }

private:
    int index_;
};

class AnimationView {
public:
    void move(int left, int top, int width, int height) const;
    int32_t createObject(const SpriteTemplate& from, double x, double y) const;
    void destroyObject(int32_t id) const;
    bool objectExists(int32_t id) const;
    void startForwardMotion(int32_t id, double step, int intervalMs, double distance,
                            bool destroyAtEnd) const;
    void stopForwardMotion(int32_t id) const;
    void setDirection(int32_t id, int angle) const;
};

}  // namespace runtime
