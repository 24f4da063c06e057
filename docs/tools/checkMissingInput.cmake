# A guide whose Markdown is missing fails the build and leaves no PDF.
file(REMOVE ${OUT})
execute_process(COMMAND ${TOOL} /no/such/guide.md ${OUT} RESULT_VARIABLE result ERROR_QUIET)
if(result EQUAL 0)
  message(FATAL_ERROR "kovra_md2pdf succeeded without its input")
endif()
if(EXISTS ${OUT} OR EXISTS ${OUT}.part)
  message(FATAL_ERROR "kovra_md2pdf left a file behind")
endif()
