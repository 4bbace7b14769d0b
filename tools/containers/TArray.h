#pragma once

#include "KwtlApi.h"

// A growable array of untyped pointers. With a destroy function the array
// owns its elements; with a compare function it is kept sorted and searched
// by bisection. Memory grows and shrinks by the growth step, one step at a
// time; from GeometricFrom slots on, a step is at least half the memory
// held, so long arrays grow and shrink in amortised constant time. Only
// Delete() frees the memory entirely.
class KWTL_API TArray {
public:
    using DestroyFunc = void (*)(void*);
    using CompareFunc = int (*)(const void* pKey, const void* pElement);

    // The number of slots from which memory moves by half its size.
    enum : long { GeometricFrom = 4096 };

    TArray() : TArray(20, nullptr, nullptr) {}
    TArray(long lGrowth, DestroyFunc pfnDestroy, CompareFunc pfnCmp);
    // Copies share the elements, not the objects they point to.
    TArray(const TArray& coOther);
    TArray& operator=(const TArray& coOther);
    virtual ~TArray();

    // Adopts all of coSource; with nTake the source is left empty, without
    // it both arrays use one buffer.
    void Use(TArray& coSource, int nTake);

    // Size
    long Count() const { return m_lCount; }
    operator long() const { return m_lCount; }
    operator int() const { return static_cast<int>(m_lCount); }
    operator short() const { return static_cast<short>(m_lCount); }
    long GetAllocSize() const { return m_lAlloc; }
    int FreeSpace() const { return m_lCount < m_lAlloc; }
    // Grows the memory in one step to hold lMore further elements, so that
    // a large batch of additions does not grow it step by step; 1 when the
    // room is there.
    int MakeRoom(long lMore);

    // Functions
    void** GetObjArray() const { return m_ppvObj; }
    DestroyFunc GetDestroyFunc() const { return m_pfnDestroy; }
    CompareFunc GetCompareFunc() const { return m_pfnCmp; }
    void SetDestroyFunc(DestroyFunc pfnDestroy) { m_pfnDestroy = pfnDestroy; }
    void SetCmpFunc(CompareFunc pfnCmp) { m_pfnCmp = pfnCmp; }

    // Access
    void* Get(long i) const { return i < 0 || i >= m_lCount ? nullptr : m_ppvObj[i]; }
    void* operator[](long i) const { return Get(i); }
    void* operator[](int i) const { return Get(i); }
    void* First() const { return Get(0); }
    void* Last() const { return Get(m_lCount - 1); }
    int Set(void* pvElement, long i);

    // Insertion
    int Add(void* pvElement);
    int Insert(long i, void* pvElement);
    // The sorted insert: an element equal to others found inside the array
    // goes after their run.
    int Insert(void* pvElement, long* plPosition);
    TArray& operator+=(void* pvElement);

    // Search
    long Find(const void* pvKey, void** ppvFound) const;
    long GetIndex(const void* pvElement) const;

    // Removal: Remove hands the element back, Delete destroys it.
    void* Remove(long i);
    void* Remove(void* pvElement, long* plPosition);
    int Delete(long i);
    int Delete(void* pvElement, long* plPosition);
    void Delete();
    TArray& operator-=(void* pvElement);
    TArray& operator-=(long i);

protected:
    virtual int CallCompareFunc(const void* pvKey, const void* pvElement) const;
    void CallDestroyFunc(void* pvElement) const;

private:
    long Step() const;
    int Reserve();
    void Shrink();
    int Resize(long lSlots);
    void InsertAt(long i, void* pvElement);

    long m_lGrowth;
    long m_lCount { 0 };
    long m_lAlloc { 0 };
    void** m_ppvObj { nullptr };     // malloc'ed slots; the elements are owned only with a destroy function
    DestroyFunc m_pfnDestroy;
    CompareFunc m_pfnCmp;
};

// A last-in first-out stack.
class KWTL_API TStack : public TArray {
public:
    explicit TStack(long lGrowth = 20, DestroyFunc pfnDestroy = nullptr) : TArray(lGrowth, pfnDestroy, nullptr) {}

    int Push(void* pvElement) { return Add(pvElement); }
    void* Pop() { return Count() ? Remove(Count() - 1) : nullptr; }
    void* Top() const { return Last(); }
    void* Bottom() const { return First(); }
    void* operator[](long i) const { return Get(i); }
    void* operator[](int i) const { return Get(i); }
    long Count() const { return TArray::Count(); }
    void Delete() { TArray::Delete(); }
};
