#pragma once
// A field of the window's shared state that reads and writes like a plain
// one and tells its owner of every change, so that whatever depends on it
// (the availability of the commands) is decided again, whoever changed it.

#include <functional>
#include <utility>

namespace quorvane {

template <typename T> class StateField {
public:
    explicit StateField(T value = T{}) : m_value(value) {}
    StateField(const StateField&) = delete;
    StateField& operator=(const StateField&) = delete;

    StateField& operator=(T value) {
        const bool changed = !(value == m_value);
        m_value = value;
        if (changed && m_changed)
            m_changed();
        return *this;
    }
    operator T() const { return m_value; }

    void OnChange(std::function<void()> changed) { m_changed = std::move(changed); }

private:
    T m_value;
    std::function<void()> m_changed;
};

} // namespace quorvane
