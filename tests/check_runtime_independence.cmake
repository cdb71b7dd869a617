# Fails if the shared library keeps thread-local storage (a TLS segment) or
# calls the C runtime's locale-bound number conversions: numbers are converted
# the same way on every platform, and a call keeps its state to itself.
execute_process(COMMAND readelf -lW ${LIBRARY}
                OUTPUT_VARIABLE segments RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "readelf failed on ${LIBRARY}")
endif()
if(segments MATCHES "[\n ]TLS ")
  message(FATAL_ERROR "${LIBRARY} has a thread-local storage segment")
endif()
execute_process(COMMAND nm -D --undefined-only ${LIBRARY}
                OUTPUT_VARIABLE imports RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[ \n](strto[a-z_]*|newlocale|uselocale|__cxa_thread_atexit[a-z_]*|__tls_get_addr)@"
       found "${imports}")
if(found)
  message(FATAL_ERROR "${LIBRARY} imports ${found}")
endif()
message(STATUS "no thread-local storage, no C runtime number conversion")
