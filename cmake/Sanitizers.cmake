if(RZ_SANITIZE)
    set(RZ_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    # -O1 keeps sanitized runs fast; GCC's maybe-uninitialized analysis is noisy there.
    add_compile_options(${RZ_SAN_FLAGS} -O1 -Wno-maybe-uninitialized)
    add_link_options(${RZ_SAN_FLAGS})
endif()
