#pragma once

// Base of every application-wide object: one instance, made on first use.
// The pointer is cleared when the object is deleted, so a destructor can ask
// getInstanceWithoutCreating() and never brings a deleted singleton back.
template <class T>
class Singleton
{
public:
    virtual ~Singleton()
    {
        // T is already destroyed here, so compare base pointers rather than downcast.
        if (base == this)
        {
            instance = nullptr;
            base = nullptr;
        }
    }

    static T* getInstance()
    {
        if (instance == nullptr)
        {
            T* created = new T(); // a throwing constructor leaves the pointer null
            instance = created;
            base = created;
        }
        return instance;
    }

    static T* getInstanceWithoutCreating() noexcept { return instance; }

protected:
    Singleton() = default;

private:
    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

    static inline T* instance = nullptr;
    static inline Singleton* base = nullptr;
};
