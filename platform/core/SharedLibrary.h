// A shared library opened at run time, for libraries only some conversions
// need: a program links none of them and loads each one the first time it
// is used, so that starting it stays cheap.
#pragma once

#include <string>

namespace rz {

class SharedLibrary {
public:
    // Opens the library (a file name searched as the dynamic linker does, or
    // a path). It stays loaded for the life of the process.
    explicit SharedLibrary(const std::string& file);
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool isOpen() const { return handle_ != nullptr; }

    // Sets `function` to the library's symbol `name`; false (and null) when
    // the library is not open or has no such symbol.
    template <class F>
    bool load(F& function, const char* name) const
    {
        function = reinterpret_cast<F>(symbol(name));
        return function != nullptr;
    }

    // A table of the library's functions: `fill(library, table)` loads
    // them and answers whether every one was found; the table's `loaded`
    // is set when the library opened and they all were.
    template <class Table, class Fill>
    static Table loadTable(const std::string& file, Fill fill)
    {
        const SharedLibrary library(file);
        Table table;
        table.loaded = library.isOpen() && fill(library, table);
        return table;
    }

    // Sets `function` to the symbol `prefix` + `name`.
    template <class F>
    bool load(F& function, const char* prefix, const char* name) const
    {
        return load(function, (std::string(prefix) + name).c_str());
    }

private:
    void* symbol(const char* name) const;

    void* handle_ = nullptr;
};

} // namespace rz

// The table `Table` of library `file`, loaded with every function of the
// X-macro list `FUNCTIONS` (each X(name) sets `table.name` to the library's
// `prefix` + name), as SharedLibrary::loadTable answers it.
#define RZ_SHARED_LIBRARY_LOAD_ONE(name) all = library.load(table.name, prefix, #name) && all;
#define RZ_SHARED_LIBRARY_TABLE(Table, file, FUNCTIONS, functionPrefix) \
    ::rz::SharedLibrary::loadTable<Table>(file, [](const ::rz::SharedLibrary& library, Table& table) { \
        const char* const prefix = functionPrefix; \
        bool all = true; \
        FUNCTIONS(RZ_SHARED_LIBRARY_LOAD_ONE) \
        return all; \
    })
