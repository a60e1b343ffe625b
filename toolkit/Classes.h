// Window-free core of the toolkit: components with owners, string lists, exceptions, event types.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

struct TRectI {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;  // right and bottom exclusive
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRectI&) const = default;
};

// v pixels at 96 dots per inch, at dpi: rounded to nearest with halves away from zero (as the
// system's MulDiv rounds), so that cells, gaps and frames add up the same everywhere.
constexpr int ScaleForDpi(int v, int dpi) {
    long long p = static_cast<long long>(v) * dpi;
    return static_cast<int>(p >= 0 ? (p + 48) / 96 : -((-p + 48) / 96));
}

class TObject {
public:
    virtual ~TObject() = default;
};

// Errors raised by the program itself; Message is in the ANSI code page.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;
};

class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// The text of the error box: the message, with "." added unless it ends in "." or in a character
// that sorts before it.
std::string ErrorBoxText(const std::string& message);

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Bit i of the set is flag i: Shift, Alt, Ctrl, Left, Right, Middle, Double.
enum TShiftFlag : uint8_t { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = uint8_t;

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, uint16_t& Key, TShiftState Shift)>;

enum class TOperation { opInsert, opRemove };

// A component is destroyed by its owner, the owned ones last first. Components that hold a
// reference to another ask it for a removal notice (FreeNotification) and drop the reference
// in Notification.
class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // Runs the last words of a component (a form's destruction handler) while it is still whole,
    // then deletes it. Use this, not delete, for anything with a BeforeDestruction.
    static void Free(TComponent* component);

    TComponent* Owner() const { return owner_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }

    // Called once the owner has applied the stored properties of all its components.
    virtual void Loaded() {}
    // Tells every owned component, in order, that loading is complete.
    void LoadedAll();
    virtual void BeforeDestruction() {}
    virtual void Notification(TComponent* component, TOperation operation);
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    std::string Name;

protected:
    void DestroyComponents();

private:
    void InsertComponent(TComponent* component);
    void RemoveComponent(TComponent* component);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> notifies_;
};

class TStrings : public TObject {
public:
    virtual int Count() const = 0;
    virtual const std::string& Get(int index) const = 0;
    virtual void Put(int index, const std::string& s) = 0;
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    const std::string& operator[](int index) const { return Get(index); }
    int Add(const std::string& s);
    void Move(int from, int to);
    void Exchange(int a, int b);
    int IndexOf(const std::string& s) const;
};

class TStringList : public TStrings {
public:
    int Count() const override { return static_cast<int>(items_.size()); }
    const std::string& Get(int index) const override;
    void Put(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override { items_.clear(); }
    void Reserve(int n) { items_.reserve(static_cast<size_t>(n)); }

private:
    void Check(int index, int limit) const;
    std::vector<std::string> items_;
};
