# tsr_add_test(NAME <name> SOURCES <files...> [LIBS <targets...>] [DBUS] [XVFB] [TIMEOUT <seconds>]
#               [LABELS <labels...>] [RESOURCE_LOCK <names...>] [ARGS <arguments...>])
#
# Builds one Qt Test executable and registers it with CTest. Every test runs with its own HOME
# (and XDG folders) under the build tree, so no test ever touches the real home, with the
# offscreen Qt platform and SDL's dummy audio driver. DBUS runs the test inside its own
# session bus (dbus-run-session). XVFB runs it on a virtual X display of its own (xvfb-run);
# without xvfb-run it runs with no display and skips what needs one. RESOURCE_LOCK keeps tests
# that share something fixed (for example the program's real audio ports) from running at the
# same time. ARGS are passed to the test program.
function(tsr_add_test)
    cmake_parse_arguments(T "DBUS;XVFB" "NAME;TIMEOUT" "SOURCES;LIBS;LABELS;RESOURCE_LOCK;ARGS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE tsr_testsupport Qt6::Test ${T_LIBS})
    tsr_set_warnings(${T_NAME})

    set(home "${CMAKE_BINARY_DIR}/test-homes/${T_NAME}")
    set(command $<TARGET_FILE:${T_NAME}>)
    if(T_DBUS)
        set(command dbus-run-session -- ${command})
    endif()
    set(display "")
    if(T_XVFB)
        find_program(TSR_XVFB_RUN xvfb-run)
        if(TSR_XVFB_RUN)
            set(command ${TSR_XVFB_RUN} -a ${command})
        else()
            set(display "DISPLAY=")
        endif()
    endif()
    add_test(NAME ${T_NAME} COMMAND ${command} ${T_ARGS})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    set(environment "${display};HOME=${home};XDG_CONFIG_HOME=${home}/.config;XDG_DATA_HOME=${home}/.local/share;XDG_CACHE_HOME=${home}/.cache;XDG_RUNTIME_DIR=${home}/run;QT_QPA_PLATFORM=offscreen;SDL_AUDIODRIVER=dummy;TSR_AUDIO_PORTS=0,0;TSR_TEST_HOME=${home}")
    if(TSR_SANITIZE STREQUAL "thread")
        # Qt, glib and libdbus are not instrumented: their own locks and hand-overs are invisible
        # to ThreadSanitizer, so their memory accesses are left out; Qt then also uses its own
        # event dispatcher instead of glib's. A test may start programs after its threads exist.
        list(APPEND environment "QT_NO_GLIB=1" "TSAN_OPTIONS=halt_on_error=1 second_deadlock_stack=1 die_after_fork=0 ignore_noninstrumented_modules=1")
    elseif(TSR_SANITIZE STREQUAL "address")
        list(APPEND environment "UBSAN_OPTIONS=print_stacktrace=1 halt_on_error=1")
    endif()
    set_tests_properties(${T_NAME} PROPERTIES
        TIMEOUT ${T_TIMEOUT}
        LABELS "${T_LABELS}"
        RESOURCE_LOCK "${T_RESOURCE_LOCK}"
        ENVIRONMENT "${environment}")
    file(MAKE_DIRECTORY "${home}/run")
    file(CHMOD "${home}/run" DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()
