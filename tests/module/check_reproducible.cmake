# Builds Tintlet.dll a second time, from a copy of its sources in another folder into yet another,
# and compares it byte for byte with MODULE: neither a time nor a path may reach the file.
# Arguments (-D): SOURCE, WORK (emptied first), MODULE, GENERATOR, BUILD_TYPE, TOOLCHAIN (the
# first build's toolchain file, under SOURCE).
set(copy ${WORK}/source)
file(RELATIVE_PATH toolchain ${SOURCE} ${TOOLCHAIN})
set(build ${WORK}/build)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${copy})
foreach(part CMakeLists.txt cmake host colors plugin)
    file(COPY ${SOURCE}/${part} DESTINATION ${copy})
endforeach()

execute_process(
    COMMAND ${CMAKE_COMMAND} -S ${copy} -B ${build} -G ${GENERATOR}
            -DCMAKE_TOOLCHAIN_FILE=${copy}/${toolchain} -DCMAKE_BUILD_TYPE=${BUILD_TYPE}
            -DTINTLET_MODULE_ONLY=ON
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "configuring the second build failed:\n${output}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${build} --target Tintlet
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "the second build failed:\n${output}")
endif()

set(second ${build}/Tintlet.dll)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${MODULE} ${second} RESULT_VARIABLE differ)
if(differ)
    execute_process(COMMAND cmp -l ${MODULE} ${second} OUTPUT_VARIABLE bytes ERROR_VARIABLE bytes)
    string(REGEX MATCHALL "[^\n]+" lines "${bytes}")
    list(LENGTH lines count)
    list(SUBLIST lines 0 20 first)
    string(JOIN "\n" first ${first})
    message(FATAL_ERROR "${MODULE} and ${second} differ in ${count} bytes "
                        "(offset, octal values; first 20):\n${first}")
endif()
file(SHA256 ${MODULE} sum)
message("the second build in ${build} gives the same Tintlet.dll, SHA-256 ${sum}")
