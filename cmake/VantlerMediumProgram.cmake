# The programs that go onto the distribution medium (Setup.exe, the
# uninstaller) have to fit on disk 1 beside the install description. In the
# size-optimised Windows build every object is compiled for link-time
# optimisation as well as normally (fat objects); other programs link the
# normal code (-fno-lto), and vantler_medium_program(TARGET) links its program
# across all its libraries at once and stripped, which leaves out much of what
# separate objects must keep.
if(WIN32)
  add_compile_options("$<$<AND:$<CONFIG:MinSizeRel>,$<COMPILE_LANGUAGE:C,CXX>>:-flto;-ffat-lto-objects>")
  add_link_options($<$<CONFIG:MinSizeRel>:-fno-lto>)
endif()

function(vantler_medium_program target)
  get_target_property(options ${target} LINK_OPTIONS)
  if(NOT options)
    set(options "")
  endif()
  list(REMOVE_ITEM options "$<$<CONFIG:MinSizeRel>:-fno-lto>")
  # One partition: GCC 12 for mingw-w64 can fail with an internal error
  # (binds_to_current_def_p) on a symbol that partitioning makes visible
  # across partitions; a program of this size links in one as fast.
  list(APPEND options "$<$<CONFIG:MinSizeRel>:-s;-flto=auto;-flto-partition=one>")
  set_target_properties(${target} PROPERTIES LINK_OPTIONS "${options}")
endfunction()
