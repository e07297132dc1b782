# Flags that keep the deliverables loadable on Windows 95/98, and small: the panel is single-threaded,
# so function-local statics need no guard (whose runtime drags in exception handling).
enable_language(RC)
add_compile_definitions(_WIN32_WINNT=0x0400 WINVER=0x0400 _WIN32_IE=0x0400 WIN32_LEAN_AND_MEAN
                        __USE_MINGW_ANSI_STDIO=0)
# No stack protector and no _FORTIFY_SOURCE: both import libssp-0.dll.
add_compile_options(-Wall -Wextra -fno-stack-protector -U_FORTIFY_SOURCE
                    $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions> $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>
                    $<$<COMPILE_LANGUAGE:CXX>:-fno-threadsafe-statics>
                    -ffunction-sections -fdata-sections)
set(WIN9X_LINK_OPTIONS -static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections
    -Wl,--major-os-version,4 -Wl,--minor-os-version,0
    -Wl,--subsystem,windows:4.0)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 1252")

# A deliverable: a binary that must load on Windows 95/98.
function(win9x_deliverable target)
    target_link_options(${target} PRIVATE ${WIN9X_LINK_OPTIONS})
endfunction()

# Tests that run under Wine need not load on Windows 9x, but they must not bring GoogleTest's
# exceptions into the deliverables' flags.
function(wine_test_target target)
    target_compile_options(${target} PRIVATE -fexceptions -frtti)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
endfunction()
