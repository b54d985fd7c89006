# max-sdk.cmake - Vantrel.dlx and vantrelController.dlc built with MSVC against a real 3ds Max SDK.
#   cmake -S . -B build/maxsdk -G "Visual Studio 17 2022" -A x64 -DMAXSDK="C:/Program Files/Autodesk/3ds Max 2024 SDK/maxsdk"
#   cmake --build build/maxsdk --config Release
# The plug-ins include the host's headers by our names (host/core/value.h, ...); cmake/max-sdk/host/
# maps each name to the SDK headers that declare the same classes. No stand-in header is used.
if(NOT MSVC OR NOT CMAKE_SIZEOF_VOID_P EQUAL 8)
    message(FATAL_ERROR "The 3ds Max SDK build needs MSVC for x64 (-G \"Visual Studio 17 2022\" -A x64)")
endif()
if(NOT EXISTS "${MAXSDK}/include/max.h")
    message(FATAL_ERROR "MAXSDK=${MAXSDK} holds no include/max.h; point it at the SDK's maxsdk folder")
endif()

set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(MAXSDK_LIBRARY_DIR "${MAXSDK}/lib/x64/Release" CACHE PATH "The SDK's import libraries")

file(GLOB VANTREL_GRAPH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/graph/*.cpp)
file(GLOB VANTREL_EXTENSION_SOURCES CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/control/*.cpp ${CMAKE_SOURCE_DIR}/script/*.cpp
    ${CMAKE_SOURCE_DIR}/interaction/*.cpp ${CMAKE_SOURCE_DIR}/interaction/win32/*.cpp
    ${CMAKE_SOURCE_DIR}/render/*.cpp)
file(GLOB VANTREL_CONTROLLER_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/controller/*.cpp)

function(vantrel_max_plugin target output suffix)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output} SUFFIX ${suffix})
    target_include_directories(${target} PRIVATE
        ${CMAKE_SOURCE_DIR}/cmake/max-sdk ${CMAKE_SOURCE_DIR} "${MAXSDK}/include")
    target_compile_definitions(${target} PRIVATE UNICODE _UNICODE)
    target_compile_options(${target} PRIVATE /W4 /permissive- /utf-8)
    target_link_directories(${target} PRIVATE "${MAXSDK_LIBRARY_DIR}")
    target_link_libraries(${target} PRIVATE core maxutil maxscrpt geom mesh bmm paramblk2
        user32 gdi32 msimg32)
endfunction()

add_library(vantrel_extension SHARED ${VANTREL_GRAPH_SOURCES} ${VANTREL_EXTENSION_SOURCES})
target_compile_definitions(vantrel_extension PRIVATE VANTREL_BUILD)
vantrel_max_plugin(vantrel_extension Vantrel .dlx)

add_library(vantrel_controller SHARED ${VANTREL_GRAPH_SOURCES} ${VANTREL_CONTROLLER_SOURCES})
target_compile_definitions(vantrel_controller PRIVATE VANTREL_CONTROLLER_BUILD)
vantrel_max_plugin(vantrel_controller vantrelController .dlc)
