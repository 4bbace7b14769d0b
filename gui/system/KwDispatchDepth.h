#pragma once

// The dispatches that are running for one object, and whether the object
// asked to be deleted meanwhile.
//
// A window may be destroyed while its own handlers are still on the stack:
// it closes itself from a handler, or a link that it fires destroys the
// frame around it (an OK button that destroys its dialog). Its final
// message then arrives nested inside the dispatch that is still running,
// and deleting the object there would leave the outer handlers running on
// freed memory. So every dispatch counts itself; a deletion requested while
// one runs is deferred, and the outermost dispatch carries it out when it
// returns.
class KwDispatchDepth {
public:
    void Enter() { ++m_nDepth; }
    // 1 when the outermost dispatch has just ended and a deletion was
    // requested meanwhile: the caller deletes the object now.
    int Leave() { return --m_nDepth == 0 && m_nDeletePending; }
    int IsDispatching() const { return m_nDepth > 0; }
    int GetDepth() const { return m_nDepth; }

    // 1 when the object may be deleted at once (no dispatch runs); 0 when
    // the deletion is deferred to the end of the outermost dispatch.
    int RequestDelete()
    {
        if (m_nDepth == 0)
            return 1;
        m_nDeletePending = 1;
        return 0;
    }
    int IsDeletePending() const { return m_nDeletePending; }

private:
    int m_nDepth { 0 };
    int m_nDeletePending { 0 };
};

// One dispatch for an object T that has DispatchDepth() and a static
// DeleteDeferred(T*): counts itself for its lifetime and deletes the object
// at the end of the outermost dispatch when that was asked for.
template <class T>
class KwDispatchScope {
public:
    explicit KwDispatchScope(T& coObject) : m_pcoObject(&coObject) { coObject.DispatchDepth().Enter(); }
    ~KwDispatchScope()
    {
        if (m_pcoObject->DispatchDepth().Leave())
            T::DeleteDeferred(m_pcoObject);
    }
    KwDispatchScope(const KwDispatchScope&) = delete;
    KwDispatchScope& operator=(const KwDispatchScope&) = delete;

private:
    T* m_pcoObject;
};
