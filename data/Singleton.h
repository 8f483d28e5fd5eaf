#pragma once

// Base of every application-wide object: one instance, made on first use.
// The pointer is cleared when the object is deleted, so a destructor can ask
// getInstanceWithoutCreating() and never brings a deleted singleton back.
template <class T> class Singleton
{
public:
    virtual ~Singleton()
    {
        if (instance == static_cast<T*>(this))
            instance = nullptr;
    }

    static T* getInstance()
    {
        if (instance == nullptr)
            instance = new T(); // a throwing constructor leaves the pointer null
        return instance;
    }

    static T* getInstanceWithoutCreating() noexcept { return instance; }

protected:
    Singleton() = default;

private:
    Singleton(const Singleton&) = delete;
    Singleton& operator=(const Singleton&) = delete;

    static inline T* instance = nullptr;
};
