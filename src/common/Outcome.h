#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>
#include <utility>

namespace tq {

// How an operation ended: a code the program tells apart, and when it
// failed the text the user is shown, as it stands (empty when the failure
// is one the user needs no words for, such as their own cancel).
struct Outcome {
    enum class Code {
        Ok,
        NoAnswer,      // the logger did not answer, or not as it should
        CannotOpen,    // a port could not be opened (text says why)
        DeviceRemoved, // the device failed or vanished under the operation
        Cancelled,     // the user or the program's end stopped it
        CannotRead,    // a file could not be read, or is not what it should be
        CannotWrite,   // a file or folder could not be written
        BadInput,      // what the user gave (an option, a choice) is refused
        NotFound       // what was asked for does not exist
    };
    Code code = Code::Ok;
    QString text;

    bool ok() const { return code == Code::Ok; }
    static Outcome success() { return {}; }
    static Outcome fail(Code code, QString text) { return {code, std::move(text)}; }
};

// A value, or the Outcome that says why there is none.
template <typename T> class Result {
  public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Outcome failure) : m_outcome(std::move(failure)) { Q_ASSERT(!m_outcome.ok()); }

    bool ok() const { return m_value.has_value(); }
    const Outcome& outcome() const { return m_outcome; }
    const T& value() const& { return *m_value; }
    T& value() & { return *m_value; }
    T&& value() && { return std::move(*m_value); }
    const T* operator->() const { return &*m_value; }
    const T& operator*() const { return *m_value; }

  private:
    std::optional<T> m_value;
    Outcome m_outcome;
};

} // namespace tq
