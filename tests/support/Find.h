#pragma once
// Controls found as the end-to-end tests and screen readers find them: by
// their documented objectName.

#include <QObject>
#include <QString>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace quorvane::test {

// The child of `root` named `name`, of type T. A missing one fails the test
// (and ends it: nothing can be checked on a control that is not there).
template <typename T> T* Find(const QObject& root, const char* name) {
    T* found = root.findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        ADD_FAILURE() << "no control named " << name;
        throw std::runtime_error(std::string("no control named ") + name);
    }
    return found;
}

} // namespace quorvane::test
