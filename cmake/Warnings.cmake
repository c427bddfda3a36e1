# Warnings for the project's own targets.
function(rz_target_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow=local -Wnon-virtual-dtor
        -Wno-missing-field-initializers
        # Unity files include sources, which GCC then takes for headers.
        $<$<BOOL:${CMAKE_UNITY_BUILD}>:-Wno-subobject-linkage>)
endfunction()
